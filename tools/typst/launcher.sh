#!/bin/sh
# typst, as the app runs it: our front on the typst engine for Node.
here=$(dirname "$(readlink -f "$0")")
exec node "$here/typst-front/typst.mjs" "$@"
