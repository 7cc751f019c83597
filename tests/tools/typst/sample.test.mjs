// samples/: the synthetic book document is made by our own script, the
// same every time, and is a whole book document.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { sourceDir, sampleBook, tempDir } from './support.mjs';

const sample = JSON.parse(fs.readFileSync(sampleBook, 'utf8'));

test('make-sample.mjs writes exactly the committed sample', (t) => {
  const output = path.join(tempDir(t), 'sample.json');
  const run = spawnSync(process.execPath, [path.join(sourceDir, 'samples/make-sample.mjs'), output], { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  assert.ok(fs.readFileSync(output).equals(fs.readFileSync(sampleBook)), 'run `node samples/make-sample.mjs` and commit its output');
});

test('the sample has every required key, empty edits and no design or order', () => {
  assert.equal(typeof sample.format, 'number');
  assert.equal(typeof sample.style, 'string');
  assert.equal(typeof sample.front.title, 'string');
  assert.equal(typeof sample.front.colophon, 'string');
  assert.ok(Array.isArray(sample.front.dedication));
  assert.deepEqual(sample.edits, {});
  assert.equal('design' in sample, false);
  assert.equal('order' in sample, false);
  assert.equal(sample.stats.messages, sample.messages.length);
});

test('two invented people, the user among them, and every message from one of them', () => {
  assert.equal(sample.people.length, 2);
  assert.deepEqual(sample.people.filter((p) => p.me).map((p) => p.id), ['me']);
  const ids = new Set(sample.people.map((p) => p.id));
  const messageIds = new Set();
  for (const m of sample.messages) {
    assert.ok(ids.has(m.from), m.id);
    assert.match(m.at, /^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}$/, m.id);
    assert.ok(!messageIds.has(m.id), `${m.id} twice`);
    messageIds.add(m.id);
    assert.ok(m.text !== undefined || m.media !== undefined, m.id);
    for (const key of Object.keys(m)) assert.notEqual(m[key], null, `${m.id}.${key} is null`);
  }
});

test('about 2,000 messages over one year, in time order', () => {
  const n = sample.messages.length;
  assert.ok(n >= 1800 && n <= 2200, `${n} messages`);
  const times = sample.messages.map((m) => m.at);
  assert.deepEqual(times, [...times].sort());
  assert.ok(times[0].startsWith('2024-01'));
  assert.ok(times[n - 1].startsWith('2024-12'));
});

test('emoji, long and short messages, multi-line ones and photos', () => {
  const texts = sample.messages.map((m) => m.text).filter((x) => x !== undefined);
  assert.ok(texts.filter((x) => /\p{Extended_Pictographic}/u.test(x)).length > 100);
  assert.ok(texts.filter((x) => x.length > 300).length >= 10);
  assert.ok(texts.filter((x) => x.length <= 5).length >= 100);
  assert.ok(texts.filter((x) => x.includes('\n')).length >= 10);
  const photos = sample.messages.filter((m) => m.media);
  assert.ok(photos.length >= 5);
  for (const m of photos) assert.deepEqual(m.media, ['photo']);
});
