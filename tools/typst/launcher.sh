#!/bin/sh
# typst, as the app runs it: our front on the typst engine for Node.
# Its code is in typst-front/ beside this file. readlink runs only when the
# launcher was reached through a link: a process costs time on every run.
self=$0
[ -L "$self" ] && self=$(readlink -f "$self")
case $self in */*) ;; *) self=./$self ;; esac
exec node "${self%/*}/typst-front/typst.mjs" "$@"
