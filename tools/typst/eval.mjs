// typst eval EXPR [--in FILE]: the value of a piece of typst code, evaluated
// in the context of a typeset document, printed as JSON.
//
// typst 0.15 compiles the --in file and evaluates the expression against the
// finished document's introspector. The 0.14 engine has no such entry point,
// so the front compiles a main text that includes the file and ends with
// `#context [#metadata({EXPR}) <label>]`, then queries that label's value.
// A trailing metadata element adds no page; inside `context`, `query(...)`,
// `counter(page).at(loc)` and `loc.page()` see the whole document.

import path from 'node:path';
import { createCompiler, compileDocument, requireFile, rootedPath, failure } from './engine.mjs';

const LABEL = 'quorvel-typst-front-eval-result';
const MAIN = '__main__.typ'; // where the engine puts a main text given as content

/** The main text: the document, then the expression's value as metadata. */
export function wrapperSource(expression, rootedIn) {
  // The expression is code (as after "#"): a code block keeps statements
  // such as `let x = 1; x` working, and the line breaks end a trailing
  // line comment.
  const include = rootedIn === undefined ? '' : `#include ${JSON.stringify(rootedIn)}\n`;
  return `${include}#context [#metadata({\n${expression}\n}) <${LABEL}>]\n`;
}

export function evaluate(options, timings) {
  const root = options.world.root ?? (options.in ? path.dirname(options.in) : process.cwd());
  let rootedIn;
  if (options.in !== undefined) {
    requireFile(options.in);
    rootedIn = rootedPath(options.in, root);
  }
  const source = wrapperSource(options.expression, rootedIn);
  const mainPath = path.join(root, MAIN);
  const formatOptions = {
    format: options.world.diagnosticFormat,
    // Errors in the expression carry no location, as in typst, whose eval
    // reports them with detached spans.
    hidden: (file) => file === mainPath || file === `/${MAIN}`,
  };

  const compiler = createCompiler({ ...options.world, root }, timings);

  let t = performance.now();
  const { document, warnings } = compileDocument(compiler, { mainFileContent: source }, formatOptions);
  timings.compileMs = Math.round(performance.now() - t);
  if (warnings) process.stderr.write(warnings);

  t = performance.now();
  const values = compiler.query(document, { selector: `<${LABEL}>`, field: 'value' });
  timings.queryMs = Math.round(performance.now() - t);
  timings.pages = document.numOfPages;
  if (!Array.isArray(values) || values.length === 0) throw failure('the expression gave no value');
  const value = values[values.length - 1];
  process.stdout.write(`${options.pretty ? JSON.stringify(value, null, 2) : JSON.stringify(value)}\n`);
}
