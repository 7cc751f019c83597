// The typst engine for Node, set up the way typst's command line sets up its
// "world": a project root, sys.inputs, and the fonts it may use.

import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { formatDiagnostics } from './diagnostics.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(import.meta.url);

/**
 * A failure typst reports as diagnostics: `text` is ready for standard
 * error (it already reads "error: ..."), and typst exits with status 1.
 */
export class Failure extends Error {
  constructor(text) {
    super(text);
    this.text = text.endsWith('\n') ? text : `${text}\n`;
  }
}

/** A failure without a location, as typst prints it: "error: message". */
export function failure(message) {
  return new Failure(`error: ${message}\n`);
}

/** Fails as typst does when a source file is missing. */
export function requireFile(file, what = 'input file') {
  let stat;
  try {
    stat = fs.statSync(file);
  } catch {
    throw failure(`${what} not found (searched at ${file})`);
  }
  if (!stat.isFile()) throw failure(`${what} is not a file (${file})`);
}

/** The file's path inside the project root, with a leading "/". */
export function rootedPath(file, root) {
  const relative = path.relative(root, file);
  if (relative.startsWith('..') || path.isAbsolute(relative)) {
    throw failure(`source file must be contained in project root\n  (file ${file}, root ${root})`);
  }
  return `/${relative.split(path.sep).join('/')}`;
}

let engine;
function loadEngine() {
  engine ??= require('@myriaddreamin/typst-ts-node-compiler');
  return engine;
}

/** The engine's typst version and its own package version. */
export function versions() {
  const compiler = createCompiler({ root: here, inputs: {}, fontPaths: [], ignoreSystemFonts: true });
  const result = compiler.compile({ mainFileContent: '#metadata(str(sys.version)) <version>' });
  const typst = result.result ? compiler.query(result.result, { selector: '<version>', field: 'value' })[0] : 'unknown';
  const front = require('@myriaddreamin/typst-ts-node-compiler/package.json').version;
  return { typst, engine: front };
}

/**
 * Makes a compiler for the world of the command line: root, inputs, font
 * paths. With ignoreSystemFonts the engine's font search is pointed at a
 * fontconfig file naming only a folder that does not exist, since the engine
 * has no option of its own to leave system fonts out; fonts embedded in typst
 * (as in the real typst without --ignore-embedded-fonts) stay available.
 */
export function createCompiler({ root, inputs, fontPaths, ignoreSystemFonts }, timings = {}) {
  let t = performance.now();
  const { NodeCompiler } = loadEngine();
  timings.engineLoadMs = Math.round(performance.now() - t);
  t = performance.now();
  const saved = process.env.FONTCONFIG_FILE;
  if (ignoreSystemFonts) process.env.FONTCONFIG_FILE = path.join(here, 'no-system-fonts.conf');
  try {
    return NodeCompiler.create({
      workspace: root,
      inputs,
      fontArgs: fontPaths.length > 0 ? [{ fontPaths }] : [],
    });
  } finally {
    // Making the world is mostly font loading: typst's embedded fonts and
    // those of --font-path.
    timings.fontsMs = Math.round(performance.now() - t);
    // Child processes (pdftoppm) must see the user's own fontconfig set-up.
    if (saved === undefined) delete process.env.FONTCONFIG_FILE;
    else process.env.FONTCONFIG_FILE = saved;
  }
}

/**
 * Compiles a paged document. Returns { document, warnings } where warnings is
 * the formatted text of any warnings (empty when there are none); throws a
 * Failure holding warnings and errors when the document has errors.
 */
export function compileDocument(compiler, args, formatOptions) {
  const result = compiler.compile(args);
  const details = (error) => {
    if (!error) return [];
    try {
      return compiler.fetchDiagnostics(error);
    } catch {
      return error.shortDiagnostics ?? [];
    }
  };
  const warnings = details(result.takeWarnings());
  const errors = details(result.takeError());
  const document = result.result;
  if (errors.length > 0 || !document) {
    const text = formatDiagnostics([...warnings, ...errors], formatOptions);
    throw new Failure(text || 'error: the document could not be compiled\n');
  }
  return { document, warnings: formatDiagnostics(warnings, formatOptions) };
}
