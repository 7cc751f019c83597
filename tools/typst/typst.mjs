#!/usr/bin/env node
// typst, as Quorvel runs it: the subcommands and options of typst's own
// command line that the app uses ("compile" to PDF or PNG, "eval EXPR --in
// FILE"), on the typst engine for Node (@myriaddreamin/typst-ts-node-compiler).
//
// Exit status as typst's: 0 on success, 1 when the document or the run
// fails (diagnostics on standard error), 2 for a command line it refuses.
// Only main() decides the status.
//
// With QUORVEL_TYPST_TIMINGS set to a file, each run appends one JSON line
// of its phases in milliseconds (nodeStartMs: Node's start-up until this
// file runs; engineLoadMs: loading the engine; fontsMs: making its world,
// mostly fonts; then the engine's own work), for `make bench`.

import fs from 'node:fs';
import { parseArgs, UsageError, HELP } from './cli.mjs';
import { Failure, failure, versions } from './engine.mjs';

const startedAt = performance.now(); // Node's own start-up, before this line

async function run(options, timings) {
  switch (options.command) {
    case 'help':
      process.stdout.write(HELP);
      return;
    case 'version': {
      const v = versions();
      process.stdout.write(`typst ${v.typst} (typst-ts-node-compiler ${v.engine})\n`);
      return;
    }
    case 'compile': {
      const { compile } = await import('./compile.mjs');
      await compile(options, timings);
      return;
    }
    case 'eval': {
      const { evaluate } = await import('./eval.mjs');
      evaluate(options, timings);
      return;
    }
  }
}

/** Appends the run's phase timings as one JSON line to $QUORVEL_TYPST_TIMINGS. */
function recordTimings(options, timings, status) {
  const file = process.env.QUORVEL_TYPST_TIMINGS;
  if (!file) return;
  const line = { command: options?.command, status, nodeStartMs: round(startedAt), ...timings, totalMs: round(performance.now()) };
  try {
    fs.appendFileSync(file, `${JSON.stringify(line)}\n`);
  } catch {
    // Timings are a measuring aid; never a reason to fail.
  }
}

function round(ms) {
  return Math.round(ms * 10) / 10;
}

async function main() {
  let options;
  const timings = {};
  let status = 0;
  try {
    options = parseArgs(process.argv.slice(2));
    await run(options, timings);
  } catch (err) {
    if (err instanceof UsageError) {
      process.stderr.write(`${err.message}\n`);
      status = 2;
    } else if (err instanceof Failure) {
      process.stderr.write(err.text);
      status = 1;
    } else {
      // The engine throws plain errors for problems it does not report as
      // diagnostics; show them as typst would, never as a stack trace.
      const message = String(err?.code ?? err?.message ?? err).split('\n')[0];
      process.stderr.write(failure(message).text);
      status = 1;
    }
  }
  recordTimings(options, timings, status);
  // Exit at once: tearing down the engine's memory takes a noticeable time
  // and serves nothing. Writes to pipes and files are synchronous on Linux,
  // so no output is lost.
  process.exit(status);
}

process.on('uncaughtException', (err) => {
  process.stderr.write(`error: ${err?.message ?? err}\n`);
  process.exit(1);
});

main();
