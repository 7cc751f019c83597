// Shared helpers of the typst front's tests: where the staged typst, fonts
// and templates are, running typst, temporary folders, reading PDF and PNG
// files with the tools a Debian machine has (poppler-utils).

import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawn, spawnSync } from 'node:child_process';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const sourceDir = process.env.QUORVEL_SOURCE_DIR ?? path.resolve(here, '../../..');

// The staged tree (ctest passes QUORVEL_STAGE); without one the tests run
// the front from the source tree and the fonts Debian installs.
const stage = process.env.QUORVEL_STAGE;
export const typstCommand = stage
  ? [path.join(stage, 'libexec/quorvel/typst')]
  : [process.execPath, path.join(sourceDir, 'tools/typst/typst.mjs')];
export const fontDir = stage ? path.join(stage, 'share/quorvel/fonts') : '/usr/share/texmf/fonts/opentype/public/tex-gyre';
export const templatesDir = stage ? path.join(stage, 'share/quorvel/templates') : path.join(sourceDir, 'templates');
export const sampleBook = path.join(sourceDir, 'samples/sample-book.json');
export const emojiFont = '/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf';
export const ebookTemplate = path.join(templatesDir, 'ebook/resolved.typ');

/** The layout expression the app sends, exactly. */
export const LAYOUT_EXPRESSION =
  '(days: query(<brimlow-day>).map(d => (d.value.iso, counter(page).at(d.location()).first(), d.location().page())), pins: query(<brimlow-pin>).map(p => p.value), chapters: query(heading.where(level: 1)).map(h => counter(page).at(h.location()).first()))';

/** The expression whose answer is the ebook's description of a book. */
export const EBOOK_EXPRESSION = 'query(<brimlow-ebook>).first().value';

/** Runs typst and waits: { status, stdout, stderr }. */
export function typst(args, options = {}) {
  const [command, ...pre] = typstCommand;
  const result = spawnSync(command, [...pre, ...args], { encoding: 'utf8', maxBuffer: 64 << 20, ...options });
  if (result.error) throw result.error;
  return { status: result.status, signal: result.signal, stdout: result.stdout, stderr: result.stderr };
}

/** Runs typst without waiting, for runs side by side. */
export function typstAsync(args, options = {}) {
  const [command, ...pre] = typstCommand;
  return new Promise((resolve, reject) => {
    const child = spawn(command, [...pre, ...args], { ...options, stdio: ['ignore', 'pipe', 'pipe'] });
    let stdout = '';
    let stderr = '';
    child.stdout.on('data', (d) => (stdout += d));
    child.stderr.on('data', (d) => (stderr += d));
    child.on('error', reject);
    child.on('close', (status, signal) => resolve({ status, signal, stdout, stderr }));
  });
}

/** A fresh temporary folder, removed when the test ends. */
export function tempDir(t) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvel-typst-test-'));
  t.after(() => fs.rmSync(dir, { recursive: true, force: true }));
  return dir;
}

/** Writes a file into a folder and returns its path. */
export function write(dir, name, text) {
  const file = path.join(dir, name);
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, text);
  return file;
}

/** The page count of a PDF, as pdfinfo reads it. */
export function pdfPages(file) {
  const info = spawnSync('pdfinfo', [file], { encoding: 'utf8' });
  const match = /^Pages:\s+(\d+)/m.exec(info.stdout);
  if (!match) throw new Error(`pdfinfo could not read ${file}: ${info.stderr}`);
  return Number(match[1]);
}

/** The fonts embedded in a PDF, as pdffonts lists them (names without subset tags). */
export function pdfFonts(file) {
  const out = spawnSync('pdffonts', [file], { encoding: 'utf8' }).stdout;
  return out
    .split('\n')
    .slice(2)
    .filter((line) => line.trim())
    .map((line) => line.split(/\s+/)[0].replace(/^[A-Z]{6}\+/, ''));
}

/** Width and height of a PNG file, from its header. */
export function pngSize(file) {
  const bytes = fs.readFileSync(file);
  if (bytes.subarray(1, 4).toString('latin1') !== 'PNG') throw new Error(`${file} is not a PNG`);
  return { width: bytes.readUInt32BE(16), height: bytes.readUInt32BE(20) };
}

/**
 * A folder holding a link to the colour emoji font, as the app's
 * "SystemFonts" folder does; none when Debian's font is missing.
 */
export function emojiDir(t) {
  if (!fs.existsSync(emojiFont)) return undefined;
  const dir = tempDir(t);
  fs.symlinkSync(emojiFont, path.join(dir, path.basename(emojiFont)));
  return dir;
}

/** The arguments the app gives every typst run for a book document, in their order. */
export function bookArguments(book, emoji) {
  const args = ['--root', '/', '--font-path', fontDir, '--ignore-system-fonts', '--input', `book=${book}`];
  if (emoji) args.push('--font-path', emoji);
  return args;
}

/** The ebook's description of a book, evaluated as the app does; fails the test on an error. */
export function resolved(book) {
  const run = typst(['eval', ...bookArguments(book), EBOOK_EXPRESSION, '--in', ebookTemplate]);
  assert.equal(run.status, 0, run.stderr);
  return JSON.parse(run.stdout);
}
