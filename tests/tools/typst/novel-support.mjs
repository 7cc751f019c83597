// Helpers of the novel template's tests: small book documents made to order,
// compiling and querying them the way the app does, and reading the PDF
// back (text, word positions, colours) with poppler's tools.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { typst, tempDir, bookArguments, templatesDir, sampleBook, LAYOUT_EXPRESSION } from './support.mjs';

export const template = path.join(templatesDir, 'novel/book.typ');
export const coverTemplate = path.join(templatesDir, 'novel/cover.typ');
export const sample = JSON.parse(fs.readFileSync(sampleBook, 'utf8'));

// The page: 5 × 8 in (360 × 576 pt), inner margin 0.78 in, outer 0.58 in;
// the text block starts 0.82 in from the top.
export const PAGE = { width: 360, inner: 56.16, outer: 41.76, top: 59.04 };

// The body's line grid (templates/novel/grid.typ): the distance between
// baselines, and how far a line's box reaches above its baseline.
export const PITCH = 11.7;
export const LINE_TOP = 7.5;

// The faces a book can be set in, for checks every face must pass.
export const FACES = ['pagella', 'garamond', 'libertinus'];

/** A design with every required key, and the given ones. */
export function design(fields = {}) {
  return { font: 'pagella', chapters: 'month', receipt: false, cover: { style: 'cloth', color: 'oxblood' }, ...fields };
}

export const SAM = { id: 'me', name: 'Sam', me: true };
export const MAYA = { id: '+15550001', name: 'Maya', me: false };
export const JORDAN = { id: '+15550002', name: 'Jordan Lee', me: false };

/**
 * Messages from rows [at, from, text, extra]: `at` is "yyyy-MM-dd HH:mm",
 * ids are m1, m2, ... in order.
 */
export function messages(rows) {
  return rows.map(([at, from, text, extra], i) => ({
    id: `m${i + 1}`,
    at: `${at.replace(' ', 'T')}:00`,
    from: from.id ?? from,
    ...(text === undefined ? {} : { text }),
    ...extra,
  }));
}

/** A whole book document; `fields` replaces any top-level key. */
export function bookDocument(fields = {}) {
  return {
    format: 1,
    style: 'novel',
    front: { title: 'Sam & Maya', colophon: 'A year of messages', dedication: [] },
    people: [SAM, MAYA],
    messages: [],
    edits: {},
    ...fields,
  };
}

/** Writes a document into a temporary folder and returns its path. */
export function writeBook(t, document) {
  const file = path.join(tempDir(t), 'book with spaces.json');
  fs.writeFileSync(file, JSON.stringify(document));
  return file;
}

/** Writes a variant of the sample book and returns its path. */
export function sampleVariant(t, change) {
  const book = structuredClone(sample);
  change(book);
  return writeBook(t, book);
}

/** Compiles a book to a PDF in a temporary folder; fails the test on an error. */
export function compile(t, book, { emoji, inputs = {} } = {}) {
  const output = path.join(tempDir(t), 'book.pdf');
  const run = typst(['compile', ...bookArguments(book, emoji), ...inputArguments(inputs), template, output]);
  assert.equal(run.status, 0, run.stderr);
  return output;
}

/** Compiles a book that must fail; returns typst's error output. */
export function compileFailure(t, book, inputs = {}) {
  const run = typst(['compile', ...bookArguments(book), ...inputArguments(inputs), template, path.join(tempDir(t), 'x.pdf')]);
  assert.equal(run.status, 1, `expected a failure, got ${run.status}: ${run.stderr}`);
  return run.stderr;
}

function inputArguments(inputs) {
  return Object.entries(inputs).flatMap(([key, value]) => ['--input', `${key}=${value}`]);
}

/** Runs the cover's compile as the app does: inputs as "--input k=v", then the format. */
export function compileCover(book, inputs, output, { ppi, emoji } = {}) {
  const args = ['compile', ...bookArguments(book, emoji), ...inputArguments(inputs)];
  if (ppi) args.push('--format', 'png', '--ppi', String(ppi));
  return typst([...args, coverTemplate, output]);
}

/** Compiles a cover to `output` and returns its path; fails the test on an error. */
export function compiledCover(book, inputs, output, options) {
  const run = compileCover(book, inputs, output, options);
  assert.equal(run.status, 0, run.stderr);
  return output;
}

/** The layout answer, queried with the app's exact expression. */
export function layout(book, emoji) {
  const run = typst(['eval', ...bookArguments(book, emoji), LAYOUT_EXPRESSION, '--in', template]);
  assert.equal(run.status, 0, run.stderr);
  return JSON.parse(run.stdout);
}

/** pdftotext's arguments for pages `first` to `last` (only `first` when no last is given; all when neither). */
function pageRange(first, last) {
  return first ? ['-f', String(first), '-l', String(last ?? first)] : [];
}

/** The text of some pages of a PDF (all when no page is given). */
export function pdfText(file, first, last) {
  return spawnSync('pdftotext', [...pageRange(first, last), file, '-'], { encoding: 'utf8' }).stdout;
}

/** The text of some pages of a PDF with its words where they stand (pdftotext -layout). */
export function layoutText(file, first, last) {
  return spawnSync('pdftotext', ['-layout', ...pageRange(first, last), file, '-'], { encoding: 'utf8' }).stdout;
}

/** The text of each page, in order (index 0 is page 1). */
export function pageTexts(file) {
  return pdfText(file).split('\f').slice(0, -1);
}

/** The words of a page with their boxes in points: { text, xMin, xMax, yMin, yMax }. */
export function pageWords(file, page) {
  return allPageWords(file, page, page)[0];
}

/** The words of each page (index 0 is the first page asked for, by default page 1). */
export function allPageWords(file, first, last) {
  const html = spawnSync('pdftotext', ['-bbox', ...pageRange(first, last), file, '-'], { encoding: 'utf8', maxBuffer: 256 << 20 }).stdout;
  return html.split('<page ').slice(1).map((page) =>
    [...page.matchAll(/<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<\/word>/g)].map(
      ([, xMin, yMin, xMax, yMax, text]) => ({
        text: text.replace(/&amp;/g, '&'), xMin: Number(xMin), xMax: Number(xMax), yMin: Number(yMin), yMax: Number(yMax),
      }),
    ),
  );
}

/**
 * The lines of a page: the words that share a baseline, left to right, with
 * the bottom of their boxes (words of one face and size have the same depth
 * below the baseline, so the bottoms keep the baselines' distances) and the
 * width from the first word's start to the last word's end.
 */
export function rowsOf(words) {
  const rows = [];
  for (const word of [...words].sort((a, b) => a.yMax - b.yMax)) {
    const row = rows.find((r) => Math.abs(r.y - word.yMax) < 2.5);
    if (row) row.words.push(word);
    else rows.push({ y: word.yMax, words: [word] });
  }
  for (const row of rows) {
    row.y = Math.max(...row.words.map((w) => w.yMax));
    row.words.sort((a, b) => a.xMin - b.xMin);
    row.text = row.words.map((w) => w.text).join(' ');
    row.width = row.words.at(-1).xMax - row.words[0].xMin;
  }
  return rows.sort((a, b) => a.y - b.y);
}

/** The lines of each page's text block, below its running head. */
export function bodyRows(pdf) {
  return allPageWords(pdf).map((words) => rowsOf(words.filter((w) => w.yMin > PAGE.top - 2)));
}

/** The left and right edges of the text block on a physical page. */
export function textEdges(page) {
  const recto = page % 2 === 1;
  return recto
    ? { left: PAGE.inner, right: PAGE.width - PAGE.outer }
    : { left: PAGE.outer, right: PAGE.width - PAGE.inner };
}

/** The pixels of a page as RGB triples, rendered small by pdftoppm. */
export function pagePixels(t, file, page) {
  const base = path.join(tempDir(t), 'page');
  spawnSync('pdftoppm', ['-r', '50', '-f', String(page), '-l', String(page), '-singlefile', file, base]);
  const bytes = fs.readFileSync(`${base}.ppm`);
  // P6, width, height, 255, each after one white-space character.
  const header = bytes.subarray(0, 40).toString('latin1').split(/\s+/);
  const [width, height] = [Number(header[1]), Number(header[2])];
  const start = bytes.length - width * height * 3;
  const pixels = [];
  for (let i = start; i < bytes.length; i += 3) pixels.push([bytes[i], bytes[i + 1], bytes[i + 2]]);
  return pixels;
}

/** Whether a pixel is inked in a hue of its own rather than black or grey. */
export function coloured([r, g, b]) {
  return Math.max(r, g, b) - Math.min(r, g, b) > 40;
}

/** "March 9, 2024", as the running head and the receipt write a day. */
export function longDay(iso) {
  return new Date(`${iso}T12:00:00Z`).toLocaleDateString('en-US', { month: 'long', day: 'numeric', year: 'numeric', timeZone: 'UTC' });
}

/** "Saturday, March 9", as a day's opening writes it. */
export function weekdayDay(iso) {
  return new Date(`${iso}T12:00:00Z`).toLocaleDateString('en-US', { weekday: 'long', month: 'long', day: 'numeric', timeZone: 'UTC' });
}

/** The lines of a page's text that are not empty, trimmed. */
export function lines(text) {
  return text.split('\n').map((line) => line.trim()).filter(Boolean);
}

/**
 * The lines of a text that are not empty, trimmed, each run of white space
 * one space: the gaps pdftotext leaves between words (wide ones with
 * -layout) are not the text's own.
 */
export function standingLines(text) {
  return lines(text).map((line) => line.replace(/\s+/g, ' '));
}

/** A page's lines without its folio, the page number at the outer corner of its head. */
export function bodyLines(text) {
  const all = lines(text);
  const folio = all.findIndex((line) => /^\d+$/.test(line));
  return folio < 0 ? all : all.filter((_, i) => i !== folio);
}
