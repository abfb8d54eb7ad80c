// Bundles the studio's script with the editor's npm packages (esbuild), headed by the licence
// of every package in it: their notices go wherever their code goes.
//   node bundle_studio.js OUT
'use strict';
const esbuild = require('esbuild');
const fs = require('node:fs');
const path = require('node:path');

const out = process.argv[2];
const built = esbuild.buildSync({
  entryPoints: [path.join(__dirname, 'studio.js')],
  bundle: true,
  minify: true,
  format: 'iife',
  legalComments: 'none',
  metafile: true,
  write: false,
});
// The folder of each package that the bundle took a file from.
const packages = new Set();
for (const input of Object.keys(built.metafile.inputs)) {
  const match = /^(.*node_modules\/(@[^/]+\/)?[^/]+)\//.exec(input);
  if (match) packages.add(match[1]);
}
const notices = [...packages].sort().map((folder) => {
  const { name, version } = JSON.parse(fs.readFileSync(path.join(folder, 'package.json'), 'utf8'));
  const licence = fs.readdirSync(folder).find((file) => /^licen[cs]e/i.test(file));
  if (!licence) throw new Error(`${name} has no licence file`);
  return `${name} ${version}\n\n${fs.readFileSync(path.join(folder, licence), 'utf8').trim()}`;
});
const header = `/*! The studio of wander, with these packages in it:\n\n${
  notices.join('\n\n----\n\n').replace(/\*\//g, '* /')}\n*/\n`;
fs.mkdirSync(path.dirname(out), { recursive: true });
fs.writeFileSync(out, header + built.outputFiles[0].text);
