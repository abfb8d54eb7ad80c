// Bundles the extension for its .vsix: extension.js and the npm packages it runs on, in one
// script (esbuild; `vscode` is VS Code's own), and the licence of each package taken in, into
// THIRD-PARTY-NOTICES.txt, headed "== NAME VERSION". The bytes depend on the sources alone, not
// on the folder they are in.
//   node bundle.js OUT_FOLDER    writes OUT_FOLDER/extension.js and its notices
'use strict';

const esbuild = require('esbuild');
const fs = require('node:fs');
const path = require('node:path');

const out = process.argv[2];
if (!out) {
  console.error('usage: node bundle.js OUT_FOLDER');
  process.exit(2);
}
const result = esbuild.buildSync({
  absWorkingDir: __dirname,
  entryPoints: ['extension.js'],
  outfile: path.join(out, 'extension.js'),
  bundle: true,
  platform: 'node',
  format: 'cjs',
  target: 'node16',
  external: ['vscode'],
  minify: true,
  metafile: true,
  logLevel: 'warning',
});

// The package folders the bundle took files from: node_modules/NAME or node_modules/@SCOPE/NAME.
const folders = new Set();
for (const input of Object.keys(result.metafile.inputs)) {
  const match = /^(.*node_modules\/(?:@[^/]+\/)?[^/]+)\//.exec(input);
  if (match) folders.add(match[1]);
}
const notices = [...folders].sort().map((folder) => {
  const meta = JSON.parse(fs.readFileSync(path.join(__dirname, folder, 'package.json'), 'utf8'));
  const licence = fs.readdirSync(path.join(__dirname, folder)).find((name) => /^licen[cs]e/i.test(name));
  if (!licence) throw new Error(`${meta.name} ${meta.version} has no licence file to carry`);
  const text = fs.readFileSync(path.join(__dirname, folder, licence), 'utf8').trimEnd();
  return `== ${meta.name} ${meta.version}\n\n${text}\n`;
});
fs.writeFileSync(path.join(out, 'THIRD-PARTY-NOTICES.txt'), notices.join('\n'));
