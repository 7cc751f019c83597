// The typst front's command line: the runs of Parts 1.106 and 1.121 and the
// way typst's own command line fails.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { typst, tempDir, write, pdfPages, pdfFonts, pngSize, fontDir } from './support.mjs';

// Three pages of 2 × 1 in, each with a labelled metadata.
const threePages = `#set page(width: 2in, height: 1in, numbering: "1")
#for i in range(3) [Page #(i + 1) #metadata(i + 1) <mark> #if i < 2 { pagebreak() }]
`;

test('--version names the typst release', () => {
  const run = typst(['--version']);
  assert.equal(run.status, 0, run.stderr);
  assert.match(run.stdout, /^typst 0\.1[4-9]\.\d+/);
});

test('compile writes a PDF with every page', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', threePages);
  const output = path.join(dir, 'doc.pdf');
  const run = typst(['compile', input, output]);
  assert.equal(run.status, 0, run.stderr);
  assert.equal(fs.readFileSync(output).subarray(0, 5).toString('latin1'), '%PDF-');
  assert.equal(pdfPages(output), 3);
});

test('compile without an output writes the PDF beside the input', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', 'Hello');
  const run = typst(['compile', input]);
  assert.equal(run.status, 0, run.stderr);
  assert.equal(pdfPages(path.join(dir, 'doc.pdf')), 1);
});

test('compile takes options after the positional arguments and in --name=value form', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#sys.inputs.word');
  const output = path.join(dir, 'out.pdf');
  const run = typst(['compile', input, output, '--input=word=late', `--root=${dir}`]);
  assert.equal(run.status, 0, run.stderr);
  assert.equal(pdfPages(output), 1);
});

test('a failed compile leaves no output file', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#panic("no")');
  const output = path.join(dir, 'doc.pdf');
  assert.equal(typst(['compile', input, output]).status, 1);
  assert.equal(fs.existsSync(output), false);
});

test('compile to one PNG at the ppi asked', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#set page(width: 2in, height: 1in)\nHello');
  const output = path.join(dir, 'doc.png');
  const run = typst(['compile', '--format', 'png', '--ppi', '72', input, output]);
  assert.equal(run.status, 0, run.stderr);
  assert.deepEqual(pngSize(output), { width: 144, height: 72 });
  assert.deepEqual(fs.readdirSync(dir).sort(), ['doc.png', 'doc.typ'], 'no working files are left behind');
});

test('the PNG format follows from the extension', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#set page(width: 1in, height: 1in)\nx');
  const output = path.join(dir, 'doc.png');
  const run = typst(['compile', '--ppi', '36', input, output]);
  assert.equal(run.status, 0, run.stderr);
  assert.deepEqual(pngSize(output), { width: 36, height: 36 });
});

test('a PNG of several pages without a page template fails as typst does', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', threePages);
  const run = typst(['compile', '--format', 'png', '--ppi', '36', input, path.join(dir, 'doc.png')]);
  assert.equal(run.status, 1);
  assert.match(run.stderr, /^error: cannot export multiple images without a page number template/);
  assert.equal(fs.existsSync(path.join(dir, 'doc.png')), false);
});

test('{p} writes one PNG per page, numbered from 1 without padding', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', threePages);
  const pages = path.join(dir, 'gallery');
  fs.mkdirSync(pages);
  const run = typst(['compile', '--format', 'png', '--ppi', '36', input, path.join(pages, '{p}.png')]);
  assert.equal(run.status, 0, run.stderr);
  assert.deepEqual(fs.readdirSync(pages).sort(), ['1.png', '2.png', '3.png']);
  assert.deepEqual(pngSize(path.join(pages, '2.png')), { width: 72, height: 36 });
});

test('{0p} pads page numbers to the width of the page count, {t} is the count', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#set page(width: 1in, height: 1in)\n#for i in range(11) [#i #pagebreak(weak: true)]');
  const run = typst(['compile', '--format', 'png', '--ppi', '20', input, path.join(dir, 'page-{0p}-of-{t}.png')]);
  assert.equal(run.status, 0, run.stderr);
  const pngs = fs.readdirSync(dir).filter((f) => f.endsWith('.png')).sort();
  assert.equal(pngs.length, 11);
  assert.equal(pngs[0], 'page-01-of-11.png');
  assert.equal(pngs[10], 'page-11-of-11.png');
});

test('eval prints the value of an expression as JSON', () => {
  const run = typst(['eval', '(a: 1 + 2, b: "x", c: (true, none))']);
  assert.equal(run.status, 0, run.stderr);
  assert.equal(run.stdout, '{"a":3,"b":"x","c":[true,null]}\n');
});

test('eval --pretty indents the JSON', () => {
  const run = typst(['eval', '--pretty', '(a: 1)']);
  assert.equal(run.stdout, '{\n  "a": 1\n}\n');
});

test('eval takes statements, as code after "#" does', () => {
  const run = typst(['eval', 'let x = 2; x * 3']);
  assert.equal(run.stdout, '6\n');
});

test('eval --in sees the typeset document: query, counter(page).at and location().page()', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', `#set page(width: 2in, height: 1in)
First
#pagebreak()
#counter(page).update(10)
#metadata("here") <mark>
`);
  const expression = 'query(<mark>).map(m => (m.value, counter(page).at(m.location()).first(), m.location().page()))';
  const run = typst(['eval', expression, '--in', input]);
  assert.equal(run.status, 0, run.stderr);
  assert.deepEqual(JSON.parse(run.stdout), [['here', 10, 2]]);
});

test('eval --in does not add a page to the document', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', threePages);
  const run = typst(['eval', 'counter(page).final().first()', '--in', input]);
  assert.equal(run.status, 0, run.stderr);
  assert.equal(run.stdout, '3\n');
});

test('relative paths inside the --in file resolve beside it', (t) => {
  const dir = tempDir(t);
  write(dir, 'parts/data.json', '{"n": 7}');
  write(dir, 'parts/lib.typ', '#let n = json("data.json").n');
  const input = write(dir, 'doc.typ', '#import "parts/lib.typ": n\n#metadata(n) <n>');
  const run = typst(['eval', 'query(<n>).first().value', '--in', input]);
  assert.equal(run.status, 0, run.stderr);
  assert.equal(run.stdout, '7\n');
});

test('--input reaches sys.inputs, in compile and in eval', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#metadata(sys.inputs) <inputs>\n#if sys.inputs.at("fail", default: "") == "yes" { panic("asked to") }');
  const run = typst(['eval', '--input', 'pages=12', '--input', 'path=/a b/c=d.json', 'query(<inputs>).first().value', '--in', input]);
  assert.equal(run.status, 0, run.stderr);
  assert.deepEqual(JSON.parse(run.stdout), { pages: '12', path: '/a b/c=d.json' });
  const compile = typst(['compile', '--input', 'fail=yes', input, path.join(dir, 'x.pdf')]);
  assert.equal(compile.status, 1);
  assert.match(compile.stderr, /asked to/);
});

test('--root makes absolute paths relative to it', (t) => {
  const dir = tempDir(t);
  write(dir, 'data/value.txt', 'rooted');
  const input = write(dir, 'src/doc.typ', '#metadata(read("/data/value.txt")) <v>');
  const run = typst(['eval', '--root', dir, 'query(<v>).first().value', '--in', input]);
  assert.equal(run.stdout, '"rooted"\n', run.stderr);
  const outside = typst(['eval', '--root', path.join(dir, 'data'), '1', '--in', input]);
  assert.equal(outside.status, 1);
  assert.match(outside.stderr, /^error: source file must be contained in project root/);
});

test('a template that panics fails with the message and its place', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', 'Some text\n#let check(x) = if x < 0 { panic("x is negative") }\n#check(-1)\n');
  for (const args of [['compile', input, path.join(dir, 'doc.pdf')], ['eval', '1', '--in', input]]) {
    const run = typst(args, { cwd: dir });
    assert.equal(run.status, 1);
    assert.equal(run.stdout, '');
    assert.match(run.stderr, /^error: panicked with: "x is negative"\n/);
    assert.match(run.stderr, /doc\.typ:2:28\n/);
    assert.doesNotMatch(run.stderr, /at .*\.mjs|node:internal/, 'no Node stack trace');
  }
});

test('a syntax error is reported with file, line and column', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', 'Hello\n#let x = (1, 2\n');
  const run = typst(['compile', '--diagnostic-format', 'short', input, path.join(dir, 'doc.pdf')], { cwd: dir });
  assert.equal(run.status, 1);
  assert.match(run.stderr, /^doc\.typ:2:10: error: unclosed delimiter$/m);
});

test('a missing input file fails clearly', (t) => {
  const dir = tempDir(t);
  const missing = path.join(dir, 'nothing.typ');
  for (const args of [['compile', missing, path.join(dir, 'x.pdf')], ['eval', '1', '--in', missing]]) {
    const run = typst(args);
    assert.equal(run.status, 1);
    assert.equal(run.stderr, `error: input file not found (searched at ${missing})\n`);
  }
});

test('a bad expression fails without a location', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', 'Text');
  for (const expression of ['nothing-here + 1', '(1, 2', 'query(<x>).first().value']) {
    const run = typst(['eval', expression, '--in', input]);
    assert.equal(run.status, 1, expression);
    assert.match(run.stderr, /^error: /, expression);
    assert.doesNotMatch(run.stderr, /__main__|┌─/, expression);
    assert.equal(run.stdout, '');
  }
});

test('bad usage exits with status 2, as typst does', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', 'x');
  const cases = [
    [],
    ['frobnicate'],
    ['compile'],
    ['compile', input, 'a.pdf', 'extra'],
    ['compile', '--no-such-option', input],
    ['compile', '--format', 'gif', input],
    ['compile', '--ppi', 'many', input],
    ['compile', input, '--root'],
    ['eval'],
    ['eval', '1', '--input', 'no-equals-sign'],
  ];
  for (const args of cases) {
    const run = typst(args);
    assert.equal(run.status, 2, args.join(' '));
    assert.match(run.stderr, /^error: /, args.join(' '));
  }
});

test('an output format that cannot be inferred fails', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', 'x');
  const run = typst(['compile', input, path.join(dir, 'doc.weird')]);
  assert.equal(run.status, 1);
  assert.match(run.stderr, /^error: could not infer output format/);
});

test('--ignore-system-fonts uses only the fonts of --font-path', (t) => {
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#set text(font: "TeX Gyre Pagella")\nPagella\n#text(font: "DejaVu Sans")[DejaVu]');
  const output = path.join(dir, 'doc.pdf');
  const run = typst(['compile', '--font-path', fontDir, '--ignore-system-fonts', input, output]);
  assert.equal(run.status, 0, run.stderr);
  const fonts = pdfFonts(output);
  assert.ok(fonts.some((f) => f.startsWith('TeXGyrePagella')), fonts.join(', '));
  assert.ok(!fonts.some((f) => f.startsWith('DejaVuSans')), fonts.join(', '));
  assert.match(run.stderr, /warning: unknown font family: dejavu sans/);
});

test('without --ignore-system-fonts the system fonts are there', (t) => {
  const hasDejaVu = spawnSync('fc-list', [':family=DejaVu Sans'], { encoding: 'utf8' }).stdout?.trim();
  if (!hasDejaVu) {
    t.skip('DejaVu Sans is not installed');
    return;
  }
  const dir = tempDir(t);
  const input = write(dir, 'doc.typ', '#text(font: "DejaVu Sans")[DejaVu]');
  const output = path.join(dir, 'doc.pdf');
  const run = typst(['compile', input, output]);
  assert.equal(run.status, 0, run.stderr);
  assert.ok(pdfFonts(output).some((f) => f.startsWith('DejaVuSans')));
});

test('--font-path finds fonts through a link, as in the emoji folder', (t) => {
  const dir = tempDir(t);
  const linked = path.join(dir, 'fonts');
  fs.mkdirSync(linked);
  const pagella = fs.readdirSync(fontDir).find((f) => /pagella-regular/i.test(f));
  fs.symlinkSync(path.join(fontDir, pagella), path.join(linked, pagella));
  const input = write(dir, 'doc.typ', '#set text(font: "TeX Gyre Pagella")\nLinked');
  const output = path.join(dir, 'doc.pdf');
  const run = typst(['compile', '--ignore-system-fonts', '--font-path', linked, input, output]);
  assert.equal(run.status, 0, run.stderr);
  assert.ok(pdfFonts(output).some((f) => f.startsWith('TeXGyrePagella')));
});
