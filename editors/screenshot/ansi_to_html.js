// A terminal screen as tmux captures it with its colours (capture-pane -e) turned into an HTML
// page that looks the same: SGR escape sequences become styled spans. Only what a screen of
// Neovim uses is known: the 16, 256 and direct colours, bold, italic, underline and reverse.
//   node ansi_to_html.js COLUMNS < screen.ansi > screen.html
'use strict';

const fs = require('node:fs');

const columns = Number(process.argv[2] || 80);
const foreground = '#d0d0d0';
const background = '#1c1c1c';
// xterm's first sixteen colours.
const basic = ['#000000', '#cd0000', '#00cd00', '#cdcd00', '#0000ee', '#cd00cd', '#00cdcd',
  '#e5e5e5', '#7f7f7f', '#ff0000', '#00ff00', '#ffff00', '#5c5cff', '#ff00ff', '#00ffff',
  '#ffffff'];

const hex = (n) => n.toString(16).padStart(2, '0');
function colour256(n) {
  if (n < 16) return basic[n];
  if (n >= 232) {
    const grey = 8 + (n - 232) * 10;
    return `#${hex(grey)}${hex(grey)}${hex(grey)}`;
  }
  const level = (v) => (v === 0 ? 0 : 55 + v * 40);
  const i = n - 16;
  return `#${hex(level(Math.floor(i / 36)))}${hex(level(Math.floor(i / 6) % 6))}${hex(level(i % 6))}`;
}

// Applies the parameters of one SGR sequence to `style`.
function apply(style, parameters) {
  const p = parameters === '' ? [0] : parameters.split(';').map(Number);
  for (let i = 0; i < p.length; i++) {
    const n = p[i];
    if (n === 0) Object.assign(style, { fg: null, bg: null, bold: false, italic: false, underline: false, reverse: false });
    else if (n === 1) style.bold = true;
    else if (n === 3) style.italic = true;
    else if (n === 4) style.underline = true;
    else if (n === 7) style.reverse = true;
    else if (n === 22) style.bold = false;
    else if (n === 23) style.italic = false;
    else if (n === 24) style.underline = false;
    else if (n === 27) style.reverse = false;
    else if (n >= 30 && n <= 37) style.fg = basic[n - 30];
    else if (n >= 90 && n <= 97) style.fg = basic[n - 90 + 8];
    else if (n >= 40 && n <= 47) style.bg = basic[n - 40];
    else if (n >= 100 && n <= 107) style.bg = basic[n - 100 + 8];
    else if (n === 39) style.fg = null;
    else if (n === 49) style.bg = null;
    else if (n === 38 || n === 48) {
      const colour = p[i + 1] === 5 ? colour256(p[i + 2]) : `#${hex(p[i + 2])}${hex(p[i + 3])}${hex(p[i + 4])}`;
      i += p[i + 1] === 5 ? 2 : 4;
      style[n === 38 ? 'fg' : 'bg'] = colour;
    }
  }
}

function css(style) {
  let fg = style.fg || foreground;
  let bg = style.bg || background;
  if (style.reverse) [fg, bg] = [bg, fg];
  return `color:${fg};background:${bg}` + (style.bold ? ';font-weight:bold' : '') +
    (style.italic ? ';font-style:italic' : '') + (style.underline ? ';text-decoration:underline' : '');
}

const escapeHtml = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

const style = {};
apply(style, '0');
const lines = fs.readFileSync(0, 'utf8').replace(/\n$/, '').split('\n');
const body = lines.map((line) => {
  let html = '';
  let width = 0;
  for (const part of line.split(/(\x1b\[[0-9;]*m)/)) {
    const sgr = /^\x1b\[([0-9;]*)m$/.exec(part);
    if (sgr) apply(style, sgr[1]);
    else if (part !== '') {
      html += `<span style="${css(style)}">${escapeHtml(part)}</span>`;
      width += [...part].length;
    }
  }
  // The rest of the row, in the colours the line ended with.
  if (width < columns) html += `<span style="${css(style)}">${' '.repeat(columns - width)}</span>`;
  return html;
});

process.stdout.write(`<!DOCTYPE html>
<html><head><meta charset="utf-8"><style>
body { margin: 10px; background: ${background}; }
pre { margin: 0; font: 15px/19px "DejaVu Sans Mono", monospace; }
</style></head><body><pre>${body.join('\n')}</pre></body></html>
`);
