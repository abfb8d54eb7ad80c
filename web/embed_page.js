// Writes the files given as one script, for the studio's Publish: a call
// wanderStudioPage({NAME: TEXT, ...}), each file by its name without its folder.
//   node embed_page.js OUT FILE...
'use strict';
const fs = require('node:fs');
const path = require('node:path');

const [out, ...files] = process.argv.slice(2);
const texts = Object.fromEntries(files.map((file) => [path.basename(file), fs.readFileSync(file, 'utf8')]));
fs.writeFileSync(out, `wanderStudioPage(${JSON.stringify(texts)});\n`);
