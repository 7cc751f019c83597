// The command line of the typst front: the subset of typst's own command line
// that the app uses, parsed the way typst's (clap) parser reads it: options
// may come before or after the positional arguments, "--name value" and
// "--name=value" are the same, "--" ends the options.

import path from 'node:path';

/** A command line that cannot be run; typst exits with status 2 for these. */
export class UsageError extends Error {}

export const USAGE = {
  top: 'Usage: typst [OPTIONS] <COMMAND>',
  compile: 'Usage: typst compile [OPTIONS] <INPUT> [OUTPUT]',
  eval: 'Usage: typst eval [OPTIONS] <EXPRESSION>',
};

export const HELP = `The typst command line, as Quorvel runs it (a front on the typst engine for Node)

${USAGE.top}

Commands:
  compile  Compiles an input file into a PDF or PNG file [aliases: c]
  eval     Evaluates a piece of Typst code, optionally in the context of a document

Options common to both commands:
      --root <DIR>              Project root (for absolute paths) [env: TYPST_ROOT]
      --input <key=value>       Adds a string key-value pair visible through \`sys.inputs\`
      --font-path <DIR>         Adds a directory searched for fonts (repeatable) [env: TYPST_FONT_PATHS]
      --ignore-system-fonts     Uses only the fonts of --font-path (and typst's embedded fonts)
      --diagnostic-format <F>   human or short [default: human]

compile:
  -f, --format <FORMAT>         pdf or png, inferred from the output's extension by default
      --ppi <PPI>               Pixels per inch for PNG export [default: 144]
      --creation-timestamp <S>  The document's creation date as a UNIX timestamp
      --pdf-standard <S>        PDF standard(s) to enforce (comma separated)
      --no-pdf-tags             Leaves out PDF accessibility tags
  OUTPUT for PNG may hold {p}, {0p} or {t}: page number, zero-padded page number, page count.

eval:
      --in <FILE>               A file in whose context to evaluate the code
      --format <FORMAT>         json [default: json]
      --pretty                  Pretty-prints the JSON

  -h, --help                    Prints help
  -V, --version                 Prints version
`;

// Options that take a value, per command; the value is what follows the
// option (or what follows "=").
const COMMON_VALUED = new Set(['--root', '--input', '--font-path', '--diagnostic-format', '--jobs', '-j']);
const COMMON_FLAGS = new Set(['--ignore-system-fonts']);
const COMMAND_VALUED = {
  compile: new Set(['--format', '-f', '--ppi', '--creation-timestamp', '--pdf-standard']),
  eval: new Set(['--in', '--format', '--target']),
};
const COMMAND_FLAGS = {
  compile: new Set(['--no-pdf-tags']),
  eval: new Set(['--pretty']),
};

/** Falsy words of clap's boolish environment values. */
function envFlag(value) {
  if (value === undefined) return false;
  return !['', 'n', 'no', 'f', 'false', 'off', '0'].includes(value.trim().toLowerCase());
}

function usageError(message, command) {
  const usage = USAGE[command] ?? USAGE.top;
  return new UsageError(`${message}\n\n${usage}\n\nFor more information, try '--help'.`);
}

/**
 * Reads argv (without node and the script) into a plain object:
 * { command: 'compile' | 'eval' | 'version' | 'help', ...fields }.
 * Throws UsageError for a command line typst would refuse.
 */
export function parseArgs(argv, env = process.env, cwd = process.cwd()) {
  if (argv.length === 0) throw usageError("error: 'typst' requires a subcommand but one was not provided", 'top');
  const first = argv[0];
  if (first === '--version' || first === '-V') return { command: 'version' };
  if (first === '--help' || first === '-h' || first === 'help') return { command: 'help' };
  let command;
  if (first === 'compile' || first === 'c') command = 'compile';
  else if (first === 'eval') command = 'eval';
  else if (first.startsWith('-')) throw usageError(`error: unexpected argument '${first}' found`, 'top');
  else throw usageError(`error: unrecognized subcommand '${first}'`, 'top');

  const valued = new Set([...COMMON_VALUED, ...COMMAND_VALUED[command]]);
  const flags = new Set([...COMMON_FLAGS, ...COMMAND_FLAGS[command]]);
  const options = new Map(); // name -> array of values (flags get [true])
  const positionals = [];
  let onlyPositionals = false;
  for (let i = 1; i < argv.length; i++) {
    const arg = argv[i];
    if (onlyPositionals || arg === '-' || !arg.startsWith('-')) {
      positionals.push(arg);
      continue;
    }
    if (arg === '--') {
      onlyPositionals = true;
      continue;
    }
    if (arg === '--help' || arg === '-h') return { command: 'help' };
    let name = arg;
    let value;
    const eq = arg.indexOf('=');
    if (arg.startsWith('--') && eq > 0) {
      name = arg.slice(0, eq);
      value = arg.slice(eq + 1);
    } else if (!arg.startsWith('--') && arg.length > 2) {
      // A short option with its value attached, such as "-fpng".
      name = arg.slice(0, 2);
      value = arg.slice(2).replace(/^=/, '');
    }
    if (valued.has(name)) {
      if (value === undefined) {
        if (i + 1 >= argv.length) {
          throw usageError(`error: a value is required for '${name}' but none was supplied`, command);
        }
        value = argv[++i];
      }
      if (!options.has(name)) options.set(name, []);
      options.get(name).push(value);
    } else if (flags.has(name) && value === undefined) {
      options.set(name, [true]);
    } else {
      throw usageError(`error: unexpected argument '${arg}' found`, command);
    }
  }

  const one = (...names) => {
    const values = names.flatMap((n) => options.get(n) ?? []);
    if (values.length > 1) {
      throw usageError(`error: the argument '${names[0]} <VALUE>' cannot be used multiple times`, command);
    }
    return values[0];
  };

  // Options shared by both commands (typst's "world" arguments).
  const inputs = {};
  for (const pair of options.get('--input') ?? []) {
    const eq = pair.indexOf('=');
    if (eq <= 0) {
      throw usageError(
        `error: invalid value '${pair}' for '--input <key=value>': input must be a key and a value separated by an equal sign`,
        command,
      );
    }
    inputs[pair.slice(0, eq)] = pair.slice(eq + 1);
  }
  const fontPaths = [];
  const pathSources = options.get('--font-path') ?? (env.TYPST_FONT_PATHS ? [env.TYPST_FONT_PATHS] : []);
  for (const value of pathSources) {
    for (const p of value.split(path.delimiter)) if (p) fontPaths.push(path.resolve(cwd, p));
  }
  const diagnosticFormat = one('--diagnostic-format') ?? 'human';
  if (!['human', 'short'].includes(diagnosticFormat)) {
    throw usageError(`error: invalid value '${diagnosticFormat}' for '--diagnostic-format <FORMAT>'\n  [possible values: human, short]`, command);
  }
  const jobs = options.get('--jobs') ?? options.get('-j');
  if (jobs && !/^[0-9]+$/.test(jobs[jobs.length - 1])) {
    throw usageError(`error: invalid value '${jobs[jobs.length - 1]}' for '--jobs <JOBS>': invalid digit found in string`, command);
  }
  const rootValue = one('--root') ?? env.TYPST_ROOT;
  const world = {
    root: rootValue ? path.resolve(cwd, rootValue) : undefined,
    inputs,
    fontPaths,
    ignoreSystemFonts: options.has('--ignore-system-fonts') || envFlag(env.TYPST_IGNORE_SYSTEM_FONTS),
    diagnosticFormat,
  };

  if (command === 'compile') {
    if (positionals.length === 0) {
      throw usageError("error: the following required arguments were not provided:\n  <INPUT>", command);
    }
    if (positionals.length > 2) throw usageError(`error: unexpected argument '${positionals[2]}' found`, command);
    const format = one('--format', '-f');
    if (format !== undefined && !['pdf', 'png', 'svg', 'html'].includes(format)) {
      throw usageError(`error: invalid value '${format}' for '--format <FORMAT>'\n  [possible values: pdf, png, svg, html]`, command);
    }
    if (format === 'svg' || format === 'html') {
      throw usageError(`error: this typst front writes only pdf and png, not ${format}`, command);
    }
    const ppiText = one('--ppi');
    const ppi = ppiText === undefined ? 144 : Number(ppiText);
    if (!Number.isFinite(ppi) || ppi <= 0) {
      throw usageError(`error: invalid value '${ppiText}' for '--ppi <PPI>': invalid float literal`, command);
    }
    const stampText = one('--creation-timestamp');
    if (stampText !== undefined && !/^-?[0-9]+$/.test(stampText)) {
      throw usageError(`error: invalid value '${stampText}' for '--creation-timestamp <UNIX_TIMESTAMP>'`, command);
    }
    const [input, output] = positionals;
    if (input === '-') throw usageError('error: this typst front does not read the document from standard input', command);
    return {
      command,
      world,
      input: path.resolve(cwd, input),
      output: output === undefined ? undefined : output === '-' ? '-' : path.resolve(cwd, output),
      format,
      ppi,
      creationTimestamp: stampText === undefined ? undefined : Number(stampText),
      pdfStandard: one('--pdf-standard'),
      pdfTags: !options.has('--no-pdf-tags'),
    };
  }

  // eval
  if (positionals.length === 0) {
    throw usageError("error: the following required arguments were not provided:\n  <EXPRESSION>", command);
  }
  if (positionals.length > 1) throw usageError(`error: unexpected argument '${positionals[1]}' found`, command);
  const format = one('--format') ?? 'json';
  if (format !== 'json') {
    throw usageError(
      format === 'yaml'
        ? 'error: this typst front prints eval results as json only'
        : `error: invalid value '${format}' for '--format <FORMAT>'\n  [possible values: json, yaml]`,
      command,
    );
  }
  const target = one('--target') ?? 'paged';
  if (target !== 'paged') {
    throw usageError(
      ['html', 'bundle'].includes(target)
        ? `error: this typst front evaluates against the paged target only, not ${target}`
        : `error: invalid value '${target}' for '--target <TARGET>'\n  [possible values: paged, html, bundle]`,
      command,
    );
  }
  const inFile = one('--in');
  if (inFile === '-') throw usageError('error: this typst front does not read the document from standard input', command);
  return {
    command,
    world,
    expression: positionals[0],
    in: inFile === undefined ? undefined : path.resolve(cwd, inFile),
    pretty: options.has('--pretty'),
  };
}
