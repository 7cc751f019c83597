// templates/novel/cover.typ run the way the app runs it: the preview, the
// front, the sheet and the gallery of the wizard, and the print covers of a
// volume, first from the page count, then with the printer's widths.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import { spawnSync } from 'node:child_process';
import { typst, tempDir, emojiDir, bookArguments, pdfPages, pngSize, sampleBook } from './support.mjs';
import { coverTemplate, compileCover, compiledCover, allPageWords, layoutText } from './novel-support.mjs';

const sample = JSON.parse(fs.readFileSync(sampleBook, 'utf8'));

const DESIGNS = ['cloth', 'paper', 'monogram', 'bubble', 'calendar', 'split', 'typewriter', 'minimal', 'receipt', 'photo'];
const COLOURS = {
  oxblood: [0.42, 0.12, 0.14],
  navy: [0.12, 0.16, 0.27],
  forest: [0.18, 0.29, 0.23],
  plum: [0.29, 0.15, 0.25],
  sky: [0.24, 0.35, 0.45],
  sand: [0.79, 0.71, 0.56],
  ink: [0.11, 0.11, 0.11],
};
const GALLERY_EXPRESSION = 'query(<brimlow-cover-designs>).first().value';

/** A design as the wizard makes it, with changes to its cover. */
function design(cover = {}) {
  return { font: 'pagella', chapters: 'month', receipt: true, cover: { style: 'cloth', color: 'oxblood', ...cover } };
}

/** Writes the sample book, changed, as a draft file and returns its path. */
function draft(t, change = () => {}) {
  const book = structuredClone(sample);
  book.design = design();
  change(book);
  const file = path.join(tempDir(t), 'cover draft.json');
  fs.writeFileSync(file, JSON.stringify(book));
  return file;
}

/** The size of a PDF's first page in points. */
function pageSize(file) {
  const info = spawnSync('pdfinfo', [file], { encoding: 'utf8' }).stdout;
  const [, width, height] = /Page size:\s+([\d.]+) x ([\d.]+) pts/.exec(info);
  return { width: Number(width), height: Number(height) };
}

/** The text of a PDF, as pdftotext reads it, every run of white space one space. */
function pdfText(file) {
  return spawnSync('pdftotext', [file, '-'], { encoding: 'utf8' }).stdout.replace(/\s+/g, ' ');
}

/** The pixels of a PDF's page at `dpi`: width, height and at(x, y) as [r, g, b]. */
function pixels(file, dpi, page = 1) {
  const args = ['-r', String(dpi), '-f', String(page), '-l', String(page), '-singlefile', file];
  const run = spawnSync('pdftoppm', args, { maxBuffer: 64 << 20 });
  // A P6 header: magic, width, height and maximum, each ended by one white space.
  const header = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(run.stdout.subarray(0, 40).toString('latin1'));
  if (!header) throw new Error(`pdftoppm drew nothing of ${file}: ${run.stderr}`);
  const data = run.stdout.subarray(header[0].length);
  const [width, height] = [Number(header[1]), Number(header[2])];
  return { width, height, at: (x, y) => [...data.subarray((y * width + x) * 3, (y * width + x) * 3 + 3)] };
}

/** Whether two colours are within `tolerance` on every channel (0 to 255). */
function near(actual, expected, tolerance = 6) {
  return actual.every((c, i) => Math.abs(c - expected[i]) <= tolerance);
}

/** Writes a PNG of one colour, as a cover picture. */
function solidPng(file, width, height, [r, g, b]) {
  const chunk = (type, body) => {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(body.length);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(zlib.crc32(Buffer.concat([Buffer.from(type, 'latin1'), body])));
    return Buffer.concat([length, Buffer.from(type, 'latin1'), body, crc]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8); // 8 bits, RGB
  const row = Buffer.concat([Buffer.from([0]), Buffer.from(Array(width).fill([r, g, b]).flat())]);
  const image = zlib.deflateSync(Buffer.concat(Array(height).fill(row)));
  fs.writeFileSync(file, Buffer.concat([
    Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]),
    chunk('IHDR', header),
    chunk('IDAT', image),
    chunk('IEND', Buffer.alloc(0)),
  ]));
  return file;
}

const GREEN = [0, 200, 0];
const spineInches = (pages) => pages / 444 + 0.06;

test('the gallery: the designs list in page order, one 5 × 8 in page per design at 36 ppi', (t) => {
  const book = draft(t);
  const run = typst(['eval', ...bookArguments(book), '--input', 'gallery=true', GALLERY_EXPRESSION, '--in', coverTemplate]);
  assert.equal(run.status, 0, run.stderr);
  assert.deepEqual(JSON.parse(run.stdout), DESIGNS);

  const dir = tempDir(t);
  compiledCover(book, { gallery: 'true' }, path.join(dir, '{p}.png'), { ppi: 36 });
  assert.deepEqual(fs.readdirSync(dir).sort((a, b) => parseInt(a) - parseInt(b)), DESIGNS.map((_, i) => `${i + 1}.png`));
  for (let i = 1; i <= DESIGNS.length; i++) assert.deepEqual(pngSize(path.join(dir, `${i}.png`)), { width: 180, height: 288 });
});

test('every design in every cloth colour; the colour shows only on the designs that take one', (t) => {
  const emoji = emojiDir(t);
  const pages = {};
  for (const colour of Object.keys(COLOURS)) {
    const book = draft(t, (b) => (b.design.cover.color = colour));
    const output = compiledCover(book, { gallery: 'true' }, path.join(tempDir(t), 'gallery.pdf'), { emoji });
    assert.equal(pdfPages(output), DESIGNS.length);
    const dir = tempDir(t);
    spawnSync('pdftoppm', ['-r', '9', '-png', output, path.join(dir, 'page')]);
    pages[colour] = fs.readdirSync(dir).sort().map((f) => fs.readFileSync(path.join(dir, f)).toString('base64'));
  }
  const coloured = ['cloth', 'monogram', 'bubble', 'calendar'];
  DESIGNS.forEach((key, i) => {
    const distinct = new Set(Object.values(pages).map((list) => list[i])).size;
    assert.equal(distinct, coloured.includes(key) ? 7 : 1, key);
  });
});

test('the cloth is the swatch colour', (t) => {
  for (const [colour, rgb] of Object.entries(COLOURS)) {
    const book = draft(t, (b) => (b.design.cover.color = colour));
    const picture = pixels(compiledCover(book, { pages: '200', front: 'true' }, path.join(tempDir(t), 'front.pdf')), 10);
    // The light falls from the upper left; near the middle the cloth is its own colour.
    const expected = rgb.map((c) => Math.round(c * 255));
    assert.ok(near(picture.at(25, 45), expected, 14), `${colour}: ${picture.at(25, 45)} for ${expected}`);
  }
});

test('each design, and the own design, as the book\'s cover: preview, front and sheet', (t) => {
  const emoji = emojiDir(t);
  for (const style of [...DESIGNS, 'custom']) {
    const book = draft(t, (b) => (b.design.cover.style = style));
    const dir = tempDir(t);
    const preview = compiledCover(book, { pages: '444' }, path.join(dir, 'cover-1A2B3C4D.png'), { ppi: 72, emoji });
    // 1.06 in of spine, two panels, two bleeds: 11.31 × 8.25 in.
    const size = pngSize(preview);
    assert.ok(Math.abs(size.width - 11.31 * 72) <= 1, `${style}: ${size.width}`);
    assert.ok(Math.abs(size.height - 8.25 * 72) <= 1, `${style}: ${size.height}`);
    const front = compiledCover(book, { pages: '444', front: 'true' }, path.join(dir, 'front.png'), { ppi: 110, emoji });
    assert.deepEqual(pngSize(front), { width: 550, height: 880 }, style);
  }
});

test('the spine is pages ÷ 444 + 0.06 in wide, between two 5 in panels and an eighth of an inch of bleed', (t) => {
  const book = draft(t);
  for (const pages of [0, 40, 444, 1000]) {
    const size = pageSize(compiledCover(book, { pages: String(pages) }, path.join(tempDir(t), 'sheet.pdf')));
    assert.ok(Math.abs(size.width - (spineInches(pages) + 10.25) * 72) < 0.01, `${pages} pages: ${size.width} pt`);
    assert.ok(Math.abs(size.height - 8.25 * 72) < 0.01);
  }
});

test('the front panel cut out of the sheet, as the ebook cuts it, is the front drawn alone', (t) => {
  const picture = solidPng(path.join(tempDir(t), 'cover-photo-0A1B2C3D.png'), 40, 30, GREEN);
  const custom = { background: '#1e5aa0', ink: '#fafafa', font: 'pagella', position: 'top' };
  const book = draft(t, (b) => (b.design.cover = { style: 'custom', color: 'oxblood', custom, image: picture }));
  const dpi = 20;
  const sheet = pixels(compiledCover(book, { pages: '444' }, path.join(tempDir(t), 'sheet.pdf')), dpi);
  const front = pixels(compiledCover(book, { pages: '444', front: 'true' }, path.join(tempDir(t), 'front.pdf')), dpi);
  // The cut: spine = pages ÷ 444 + 0.06, spread = spine + 10.25, x and b truncated.
  const spine = 444 / 444 + 0.06;
  const spread = spine + 10.0 + 0.25;
  const x = Math.trunc(((spine + 5.0 + 0.125) * sheet.width) / spread);
  const b = Math.trunc((sheet.width * 0.125) / spread);
  // Truncating x and b leaves at most a pixel of bleed in the cut.
  const [width, height] = [sheet.width - x - b, sheet.height - 2 * b];
  assert.ok(width - front.width >= 0 && width - front.width <= 1, `${width} for ${front.width}`);
  assert.ok(height - front.height >= 0 && height - front.height <= 1, `${height} for ${front.height}`);
  let differing = 0;
  let total = 0;
  for (let y = 2; y < front.height - 2; y += 3) {
    for (let col = 2; col < front.width - 2; col += 3) {
      total++;
      if (!near(sheet.at(x + col, b + y), front.at(col, y), 40)) differing++;
    }
  }
  // Only the edges of letters and of the frame may land on other pixels.
  assert.ok(differing / total < 0.05, `${differing} of ${total} pixels differ`);
});

test('a spine wide enough carries the title; a thin one is left plain', (t) => {
  const book = draft(t, (b) => (b.front.title = 'Zebra Crossing'));
  const count = (pages) => pdfText(compiledCover(book, { pages }, path.join(tempDir(t), 'sheet.pdf'))).split('Zebra Crossing').length - 1;
  assert.equal(count('40'), 1, 'the front only');
  assert.equal(count('300'), 2, 'the front and the spine');
});

// A Hebrew name took the count after it into its own direction, and the
// slip printed the count first, across the dots from the name.
test('the receipt slip keeps each count after its name, in any direction', (t) => {
  const book = draft(t, (b) => {
    b.people = [{ id: 'me', name: 'Sam', me: true }, { id: 'them', name: 'נועה', me: false }];
    b.design.cover.style = 'receipt';
  });
  const file = compiledCover(book, { pages: '100', front: 'true' }, path.join(tempDir(t), 'front.pdf'));
  const words = allPageWords(file)[0];
  const name = words.find((w) => /[\u05D0-\u05EA]/.test(w.text));
  assert.ok(name, 'the name on the slip');
  // The slip lies a little askew: its line is followed word by word, to
  // the right, each next word close to the height of the one before.
  let at = name;
  for (;;) {
    const next = words
      .filter((w) => w.xMin > at.xMax - 2 && Math.abs(w.yMax - at.yMax) < 8)
      .sort((a, b) => a.xMin - b.xMin)[0];
    assert.ok(next, `a count after ${name.text}`);
    if (/^[\d,]+$/.test(next.text)) break;
    at = next;
  }
});

test('print covers: the volume on the cover, then re-set with the printer\'s spine and wrap', (t) => {
  const book = draft(t);
  const volume = { volume: '2', volumes: '3', 'first-chapter': '5', from: '2024-05-01', to: '2024-08-31' };
  const first = compiledCover(book, { ...volume, pad: '2', pages: '256' }, path.join(tempDir(t), 'cover-2.pdf'));
  assert.equal(pdfPages(first), 1);
  let size = pageSize(first);
  assert.ok(Math.abs(size.width - (spineInches(256) + 10.25) * 72) < 0.01, `${size.width}`);
  // Set in spaced capitals, which pdftotext reads with gaps.
  assert.match(pdfText(first).replace(/ /g, ''), /VOLUME2OF3/i);

  // The printer's spine replaces the one from the page count; its wrap
  // replaces the bleed on every outer edge.
  const again = { ...volume, pages: '256', spine: '0.6250' };
  size = pageSize(compiledCover(book, again, path.join(tempDir(t), 'cover-2.pdf')));
  assert.ok(Math.abs(size.width - (0.625 + 10.25) * 72) < 0.01, `${size.width}`);
  size = pageSize(compiledCover(book, { ...again, wrap: '0.7500' }, path.join(tempDir(t), 'cover-2.pdf')));
  assert.ok(Math.abs(size.width - (0.625 + 10 + 1.5) * 72) < 0.01, `${size.width}`);
  assert.ok(Math.abs(size.height - (8 + 1.5) * 72) < 0.01, `${size.height}`);
});

test('a book without a design yet has the fresh design\'s cover: oxblood cloth', (t) => {
  const plain = draft(t, (b) => delete b.design);
  const cloth = draft(t);
  const a = fs.readFileSync(compiledCover(plain, { pages: '100', front: 'true' }, path.join(tempDir(t), 'a.png'), { ppi: 20 }));
  const b = fs.readFileSync(compiledCover(cloth, { pages: '100', front: 'true' }, path.join(tempDir(t), 'b.png'), { ppi: 20 }));
  assert.ok(a.equals(b));
});

test('the own design: its background, and its picture framed or over the whole cover', (t) => {
  const picture = solidPng(path.join(tempDir(t), 'cover-photo-0A1B2C3D.png'), 40, 30, GREEN);
  const custom = { background: '#1E5AA0', ink: '#fafafa', font: 'mono', position: 'bottom' };
  const front = (cover) => pixels(compiledCover(draft(t, (b) => (b.design.cover = { ...b.design.cover, style: 'custom', custom, ...cover })), {
    pages: '100',
    front: 'true',
  }, path.join(tempDir(t), 'front.pdf')), 10);

  const alone = front({});
  assert.deepEqual(alone.at(1, 1), [0x1e, 0x5a, 0xa0]);
  assert.ok(!near(alone.at(25, 25), GREEN, 60));

  // A missing fit reads as framed: the background around, the picture within.
  const framed = front({ image: picture });
  assert.deepEqual(framed.at(1, 1), [0x1e, 0x5a, 0xa0]);
  assert.ok(near(framed.at(25, 25), GREEN), `${framed.at(25, 25)}`);

  const bleed = front({ image: picture, fit: 'bleed' });
  assert.ok(near(bleed.at(1, 1), GREEN), `${bleed.at(1, 1)}`);

  // Each typeface and title position draws.
  for (const font of ['garamond', 'pagella', 'libertinus', 'modern', 'mono']) {
    for (const position of ['top', 'middle', 'bottom']) {
      const book = draft(t, (b) => (b.design.cover = { style: 'custom', color: 'oxblood', custom: { ...custom, font, position }, image: picture, fit: 'framed' }));
      compiledCover(book, { pages: '100' }, path.join(tempDir(t), 'sheet.pdf'));
    }
  }
});

test('the photo design: the picture over the whole cover and into the bleed, or as an instant photo', (t) => {
  const picture = solidPng(path.join(tempDir(t), 'cover-art-0A1B2C3D.png'), 30, 40, GREEN);
  const sheet = (cover) => pixels(compiledCover(draft(t, (b) => Object.assign(b.design.cover, { style: 'photo', ...cover })), {
    pages: '100',
  }, path.join(tempDir(t), 'sheet.pdf')), 10);
  // At 10 ppi, pixel (104, 0) lies in the bleed beyond the front's top
  // right corner (the trim ends at 10.41 in, the sheet at 10.535 in), and
  // (80, 25) well inside the front.
  const bleed = sheet({ image: picture, fit: 'bleed' });
  assert.ok(near(bleed.at(104, 0), GREEN), `${bleed.at(104, 0)}`);
  const framed = sheet({ image: picture, fit: 'framed' });
  assert.ok(!near(framed.at(104, 0), GREEN, 60));
  assert.ok(near(framed.at(80, 25), GREEN, 20), `${framed.at(80, 25)}`);
});

test('the gallery shows the picture on the photo design and nowhere else', (t) => {
  const picture = solidPng(path.join(tempDir(t), 'cover-photo-0A1B2C3D.png'), 30, 40, GREEN);
  const book = draft(t, (b) => Object.assign(b.design.cover, { image: picture, fit: 'framed' }));
  const output = compiledCover(book, { gallery: 'true' }, path.join(tempDir(t), 'gallery.pdf'));
  const withGreen = DESIGNS.filter((_, i) => near(pixels(output, 10, i + 1).at(1, 1), GREEN));
  // The gallery shows the photo design as picking it makes it: bleeding.
  assert.deepEqual(withGreen, ['photo']);
});

test('a picture in a format typst cannot draw leaves the design without it; a missing one names the file', (t) => {
  const dir = tempDir(t);
  const heic = path.join(dir, 'IMG_0001.HEIC');
  fs.writeFileSync(heic, Buffer.concat([Buffer.from([0, 0, 0, 24]), Buffer.from('ftypheic'), Buffer.alloc(64)]));
  const book = draft(t, (b) => Object.assign(b.design.cover, { style: 'photo', image: heic, fit: 'bleed' }));
  const front = pixels(compiledCover(book, { pages: '100', front: 'true' }, path.join(dir, 'front.pdf')), 10);
  const none = draft(t, (b) => Object.assign(b.design.cover, { style: 'photo', fit: 'bleed' }));
  assert.deepEqual(front.at(1, 1), pixels(compiledCover(none, { pages: '100', front: 'true' }, path.join(dir, 'none.pdf')), 10).at(1, 1));

  const gone = draft(t, (b) => Object.assign(b.design.cover, { style: 'photo', image: path.join(dir, 'gone.jpg') }));
  const run = compileCover(gone, { pages: '100' }, path.join(dir, 'x.pdf'));
  assert.equal(run.status, 1);
  assert.match(run.stderr, /gone\.jpg/);
});

test('titles long, empty, of one unbroken word, or with emoji still draw in every design', (t) => {
  const emoji = emojiDir(t);
  const titles = [
    ['The Summer We Kept Writing To Each Other Until Three In The Morning', 'Letters, texts and everything in between, from the first hello to the last goodnight'],
    ['', ''],
    ['Supercalifragilisticexpialidociouslylongword', 'x'],
    ['Mostly 🥰', '2019–2024'],
  ];
  for (const [title, colophon] of titles) {
    const book = draft(t, (b) => {
      b.front.title = title;
      b.front.colophon = colophon;
      b.people = [b.people[0]];
    });
    const output = compiledCover(book, { gallery: 'true' }, path.join(tempDir(t), 'gallery.pdf'), { emoji });
    assert.equal(pdfPages(output), DESIGNS.length, title);
  }
});

// A long title broke its number across lines: "… & +49 151" over "23456789".
test('a phone number in a long title stays on one line in every design', (t) => {
  const number = '+49 151 23456789';
  for (const title of [`You & ${number}`, `Every message of our long summer, you & ${number}`]) {
    const book = draft(t, (b) => (b.front.title = title));
    const output = compiledCover(book, { gallery: 'true' }, path.join(tempDir(t), 'gallery.pdf'));
    const pages = layoutText(output).split('\f');
    DESIGNS.forEach((key, page) => {
      // Letter-spaced designs come out with spaces between the letters.
      const lines = pages[page].split('\n').map((line) => line.replace(/\s+/g, ''));
      const parts = lines.filter((line) => line.includes('+49') || line.includes('3456789'));
      assert.ok(parts.length > 0, `${key}: no number in ${title}`);
      for (const line of parts) assert.ok(line.includes(number.replace(/ /g, '')), `${key}: ${title}: ${parts.join(' / ')}`);
    });
  }
});

test('an empty stretch of days (a range past the last message) still draws every design', (t) => {
  const book = draft(t, (b) => (b.edits = { range: { from: '2030-01-01' } }));
  assert.equal(pdfPages(compiledCover(book, { gallery: 'true' }, path.join(tempDir(t), 'gallery.pdf'))), DESIGNS.length);
});

test('missing or malformed inputs stop with a sentence naming them', (t) => {
  const book = draft(t);
  const dir = tempDir(t);
  // typst shows the panic's text as a string literal, quotes escaped.
  const cases = [
    [{}, 'the input \\"pages\\" is missing'],
    [{ pages: '12a' }, 'the input \\"pages\\" is \\"12a\\"; it must be a whole number from 0'],
    [{ pages: '100', front: 'yes' }, 'the input \\"front\\" is \\"yes\\"; it must be true or false'],
    [{ pages: '100', front: 'true', gallery: 'true' }, 'the inputs \\"front\\" and \\"gallery\\" are both true'],
    [{ pages: '100', spine: 'wide' }, 'the input \\"spine\\" is \\"wide\\"; it must be a width in inches'],
    [{ pages: '100', spine: '0' }, 'the input \\"spine\\" is \\"0\\"; it must be a width in inches'],
    [{ pages: '100', wrap: '-0.5' }, 'the input \\"wrap\\" is \\"-0.5\\"; it must be a width in inches'],
    [{ pages: '100', volume: '3', volumes: '2' }, 'the input \\"volume\\" is 3 but \\"volumes\\" is 2'],
    [{ pages: '100', from: '2024-5-1' }, 'the input \\"from\\" is \\"2024-5-1\\"; it must be a day'],
    [{ pages: '100', to: '2024-02-30' }, 'the input \\"to\\" is \\"2024-02-30\\"; it must be a day'],
  ];
  for (const [inputs, message] of cases) {
    const run = compileCover(book, inputs, path.join(dir, 'x.png'), { ppi: 10 });
    assert.equal(run.status, 1, JSON.stringify(inputs));
    assert.ok(run.stderr.startsWith(`error: panicked with: "${message}`), `${message}\n${run.stderr}`);
  }
  const run = typst(['compile', '--root', '/', '--input', 'pages=100', coverTemplate, path.join(dir, 'x.pdf')]);
  assert.match(run.stderr, /^error: panicked with: "the input \\"book\\" is missing/);
});

test('a design with a missing or unknown cover value stops with the key named', (t) => {
  const cases = [
    [(b) => delete b.design.cover, 'design has no \\"cover\\"'],
    [(b) => delete b.design.cover.color, 'design.cover has no \\"color\\"'],
    [(b) => (b.design.cover.style = 'glitter'), 'design.cover.style is \\"glitter\\"; it must be one of cloth, paper'],
    [(b) => (b.design.cover.color = 'teal'), 'design.cover.color is \\"teal\\"; it must be one of oxblood'],
    [(b) => (b.design.cover.fit = 'tiled'), 'design.cover.fit is \\"tiled\\"'],
    [(b) => (b.design.cover.image = 7), 'design.cover.image is not a string'],
    [(b) => (b.design.cover.custom = { background: 'red', ink: '#ffffff', font: 'mono', position: 'top' }), 'design.cover.custom.background is \\"red\\"'],
    [(b) => (b.design.cover.custom = { background: '#000000', ink: '#ffffff', font: 'comic', position: 'top' }), 'design.cover.custom.font is \\"comic\\"'],
    [(b) => (b.design.cover.custom = { background: '#000000', ink: '#ffffff', font: 'mono' }), 'design.cover.custom has no \\"position\\"'],
    [(b) => delete b.front.colophon, 'front has no \\"colophon\\"'],
    [(b) => (b.messages[3].at = '5'), 'messages[3] has no time \\"at\\"'],
    [(b) => (b.messages[0].at = '2023-02-29T10:00:00'), 'a message\'s time \\"2023-02-29\\" is not a day of the calendar'],
  ];
  for (const [change, message] of cases) {
    const run = compileCover(draft(t, change), { pages: '100' }, path.join(tempDir(t), 'x.pdf'));
    assert.equal(run.status, 1);
    const expected = `error: panicked with: "book document: ${message}`;
    assert.ok(run.stderr.startsWith(expected), `${expected}\n${run.stderr}`);
  }
});
