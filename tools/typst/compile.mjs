// typst compile INPUT [OUTPUT]: a PDF, or PNG pages drawn from it.

import fs from 'node:fs';
import path from 'node:path';
import { createCompiler, compileDocument, requireFile, rootedPath, failure } from './engine.mjs';
import { writePng } from './png.mjs';

/** The output format: --format, else the output's extension, as typst infers it. */
function outputFormat(options) {
  if (options.format) return options.format;
  if (options.output === undefined || options.output === '-') return 'pdf';
  const ext = path.extname(options.output).slice(1).toLowerCase();
  if (ext === 'pdf' || ext === 'png') return ext;
  if (ext === 'svg' || ext === 'html') throw failure(`this typst front writes only pdf and png, not ${ext}`);
  throw failure(
    `could not infer output format for path ${options.output}.\nconsider providing the format manually with \`--format/-f\``,
  );
}

export async function compile(options, timings) {
  const format = outputFormat(options);
  const output = options.output ?? options.input.replace(/(\.[^./]*)?$/, `.${format}`);
  requireFile(options.input);
  const root = options.world.root ?? path.dirname(options.input);
  rootedPath(options.input, root);
  const formatOptions = { format: options.world.diagnosticFormat };

  const compiler = createCompiler({ ...options.world, root }, timings);

  let t = performance.now();
  const { document, warnings } = compileDocument(compiler, { mainFilePath: options.input }, formatOptions);
  timings.compileMs = Math.round(performance.now() - t);
  if (warnings) process.stderr.write(warnings);

  t = performance.now();
  const pdfOptions = {};
  if (options.creationTimestamp !== undefined) pdfOptions.creationTimestamp = options.creationTimestamp;
  if (options.pdfStandard !== undefined) pdfOptions.pdfStandard = options.pdfStandard;
  if (!options.pdfTags) pdfOptions.pdfTags = false;
  const pdf = compiler.pdf(document, pdfOptions);
  timings.pdfMs = Math.round(performance.now() - t);

  t = performance.now();
  if (format === 'png') {
    await writePng(pdf, document.numOfPages, output, options.ppi);
  } else {
    try {
      if (output === '-') fs.writeSync(1, pdf);
      else fs.writeFileSync(output, pdf);
    } catch (err) {
      throw failure(`failed to write PDF file (${err.message})`);
    }
  }
  timings.writeMs = Math.round(performance.now() - t);
  timings.pages = document.numOfPages;
}
