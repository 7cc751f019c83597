// Diagnostics printed the way typst prints them: "error: message", then
// (human format) the file, line and column with the source line and carets,
// or (short format) "file:line:col: error: message" on one line.

import fs from 'node:fs';
import path from 'node:path';

// Severities as the engine reports them.
const SEVERITY = { 1: 'error', 2: 'warning', 3: 'info', 4: 'help' };

/**
 * Formats engine diagnostics as typst does.
 * diags: [{ message, path, package, range: {start: {line, character}, end}, severity }]
 * Lines and characters are counted from 0, characters in Unicode code points.
 * options.hidden(path) says whether a path is ours (the eval wrapper) rather
 * than the user's: such a location is not shown, like typst's detached spans.
 * options.sources maps a path to its text when it is not on disk.
 */
export function formatDiagnostics(diags, { format = 'human', cwd = process.cwd(), hidden = () => false, sources = new Map() } = {}) {
  const readSource = (file) => {
    if (sources.has(file)) return sources.get(file);
    try {
      const text = fs.readFileSync(file, 'utf8');
      sources.set(file, text);
      return text;
    } catch {
      sources.set(file, null);
      return null;
    }
  };
  let out = '';
  for (const d of diags) {
    const severity = SEVERITY[d.severity] ?? 'error';
    // A trace step inside our own wrapper tells the user nothing.
    if (severity === 'help' && d.path && hidden(d.path)) continue;
    const located = d.path && !hidden(d.path);
    const name = located ? displayName(d, cwd) : null;
    const range = located ? d.range : null;
    if (format === 'short') {
      let where = '';
      if (name) where = range ? `${name}:${range.start.line + 1}:${range.start.character + 1}: ` : `${name}: `;
      out += `${where}${severity}: ${d.message}\n`;
      continue;
    }
    out += `${severity}: ${d.message}\n`;
    if (name && range) {
      const text = d.package ? null : readSource(d.path);
      out += snippet(name, range, text);
    } else if (name) {
      out += `  ┌─ ${name}\n`;
    }
    out += '\n';
  }
  return out;
}

/** The file's name as typst shows it: relative to the working folder. */
function displayName(d, cwd) {
  if (d.package) return `${d.package}${d.path.startsWith('/') ? '' : '/'}${d.path}`;
  const relative = path.relative(cwd, d.path);
  return relative === '' ? path.basename(d.path) : relative;
}

/** The location line and the source line with carets under the range. */
function snippet(name, range, text) {
  const line = range.start.line;
  const column = range.start.character;
  const number = String(line + 1);
  const pad = ' '.repeat(number.length);
  let out = `${pad} ┌─ ${name}:${line + 1}:${column + 1}\n`;
  const lines = text === null ? null : text.split('\n');
  if (!lines || line >= lines.length) return out;
  const source = Array.from(lines[line].replace(/\r$/, ''));
  const end = range.end.line === line ? Math.max(range.end.character, column + 1) : source.length;
  out += `${pad} │\n`;
  out += `${number} │ ${source.join('')}\n`;
  const marks = Math.max(1, Math.min(end, source.length) - column);
  out += `${pad} │ ${' '.repeat(column)}${'^'.repeat(marks)}\n`;
  return out;
}
