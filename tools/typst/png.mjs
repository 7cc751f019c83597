// PNG export. The engine for Node renders no raster images, so the pages are
// drawn from the compiled PDF by poppler's pdftoppm, a well-kept renderer,
// and named the way typst names them.

import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawn } from 'node:child_process';
import { failure } from './engine.mjs';

const INDEXABLE = ['{p}', '{0p}', '{n}'];

/** Whether an output path names one file per page. */
export function hasPageTemplate(output) {
  return INDEXABLE.some((t) => output.includes(t));
}

/**
 * The file of one page, as typst fills in an output template: {p} is the page
 * number, {0p} (and the older {n}) the page number zero-padded to the width
 * of the page count, {t} the page count.
 */
export function pageFile(output, page, total) {
  const width = String(total).length;
  return output
    .replaceAll('{p}', String(page))
    .replaceAll('{0p}', String(page).padStart(width, '0'))
    .replaceAll('{n}', String(page).padStart(width, '0'))
    .replaceAll('{t}', String(total));
}

function run(command, args) {
  return new Promise((resolve, reject) => {
    const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe'] });
    let stderr = '';
    child.stderr.on('data', (chunk) => (stderr += chunk));
    child.on('error', (err) => reject(failure(`failed to run ${command} (${err.code ?? err.message}); it comes with poppler-utils`)));
    child.on('close', (code, signal) => {
      if (code === 0) resolve();
      else reject(failure(`${command} failed (${signal ?? code}): ${stderr.trim()}`));
    });
  });
}

/**
 * Writes the pages of a PDF (its bytes and page count) as PNG files at `ppi`
 * pixels per inch to `output`: one file, or one per page when the path holds
 * a page template. Pages are drawn by several pdftoppm runs side by side when
 * there are many.
 */
export async function writePng(pdf, pageCount, output, ppi) {
  const multiple = output !== '-' && hasPageTemplate(output);
  if (!multiple && pageCount > 1) {
    throw failure(
      output === '-'
        ? 'cannot export multiple images to stdout'
        : 'cannot export multiple images without a page number template ({p}, {0p}) in the output path',
    );
  }
  const targets = [];
  for (let page = 1; page <= pageCount; page++) {
    targets.push(output === '-' ? '-' : multiple ? pageFile(output, page, pageCount) : output);
  }
  // Work beside the first output, so that the finished pages are renamed
  // into place rather than copied.
  let work;
  try {
    const near = targets[0] === '-' ? os.tmpdir() : path.dirname(targets[0]);
    work = fs.mkdtempSync(path.join(near, '.typst-png-'));
  } catch {
    work = fs.mkdtempSync(path.join(os.tmpdir(), 'typst-png-'));
  }
  try {
    const source = path.join(work, 'document.pdf');
    fs.writeFileSync(source, pdf);
    const jobs = Math.max(1, Math.min(os.availableParallelism?.() ?? os.cpus().length, 4, Math.floor(pageCount / 8)));
    const per = Math.ceil(pageCount / jobs);
    const runs = [];
    for (let first = 1; first <= pageCount; first += per) {
      const last = Math.min(pageCount, first + per - 1);
      const prefix = path.join(work, `part${first}`);
      runs.push(run('pdftoppm', ['-png', '-r', String(ppi), '-f', String(first), '-l', String(last), source, prefix]));
    }
    await Promise.all(runs);
    // pdftoppm names pages "<prefix>-<number>.png", the number zero-padded to
    // the width of the page count.
    const drawn = new Map();
    for (const name of fs.readdirSync(work)) {
      const match = /^part\d+-0*(\d+)\.png$/.exec(name);
      if (match) drawn.set(Number(match[1]), path.join(work, name));
    }
    for (let page = 1; page <= pageCount; page++) {
      const file = drawn.get(page);
      if (!file) throw failure(`pdftoppm drew no image of page ${page}`);
      const target = targets[page - 1];
      try {
        if (target === '-') fs.writeSync(1, fs.readFileSync(file));
        else moveFile(file, target);
      } catch (err) {
        throw failure(`failed to write PNG file (${err.message})`);
      }
    }
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
}

function moveFile(from, to) {
  try {
    fs.renameSync(from, to);
  } catch (err) {
    if (err.code !== 'EXDEV') throw err;
    fs.copyFileSync(from, to);
  }
}
