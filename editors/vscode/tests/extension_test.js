// The extension's activate() and deactivate() under a stand-in for the `vscode` module, with the
// real vscode-languageclient and the real server: the program the setting names is started with
// `lsp`, the worlds the selector takes (and only those) are opened on it and come back with
// their diagnostics, and deactivate() shuts it down.
//
//   WANDER_WORLD      the wander-world program (required)
//   WANDER_EXTENSION  the extension's folder: this one's parent unless given, or a .vsix
//                     unpacked, to test what it packs
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { createFakeVscode, installFakeVscode, textDocument, Uri } = require('./fake_vscode');

const server = process.env.WANDER_WORLD;
const extensionFolder = process.env.WANDER_EXTENSION || path.join(__dirname, '..');
const sampleWorld = fs.readFileSync(path.join(__dirname, '..', '..', '..', 'examples', 'World.txt'), 'utf8');

/**
 * A stand-in for the server in a new folder: a script that notes its arguments and what the
 * client sends, then runs wander-world with them; and notes the status it ended with.
 */
function recordingServer(name) {
  assert.ok(server, 'WANDER_WORLD must name the wander-world program');
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'wander-extension-'));
  const script = path.join(folder, name);
  fs.writeFileSync(
    script,
    `#!/bin/sh
printf '%s\\n' "$@" > '${folder}/arguments'
tee '${folder}/input' | '${server}' "$@"
echo $? > '${folder}/status'
`,
    { mode: 0o755 },
  );
  const read = (file) => fs.readFileSync(path.join(folder, file), 'utf8');
  return { folder, script, read, has: (file) => fs.existsSync(path.join(folder, file)) };
}

/** The extension, loaded afresh on `fake`. */
function loadExtension(fake) {
  installFakeVscode(fake.vscode);
  return require(path.join(extensionFolder, 'extension.js'));
}

async function eventually(condition, what) {
  for (let waited = 0; waited < 10000; waited += 20) {
    if (condition()) return;
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
  assert.fail(`still not so after 10 s: ${what}`);
}

// The methods and document URIs of the messages the client sent, from the recorded input.
function sentMessages(input) {
  return input
    .split(/Content-Length: \d+\r\n\r\n/)
    .filter((body) => body.trim() !== '')
    .map((body) => JSON.parse(body));
}

test('activate starts the program the setting names, with lsp, on the worlds the selector takes', async (t) => {
  const recorder = recordingServer('my-wander-world');
  const slipped = sampleWorld.replace('East: Cottage', 'East: Cotage');
  const onDisk = Uri.file(path.join(recorder.folder, 'World.txt'));
  const unsaved = Uri.parse('untitled:Untitled-1');
  const documents = [
    textDocument(onDisk, 'wander', slipped),
    textDocument(unsaved, 'wander', 'Start: Hall\n<Hall>\nA hall.\n*\nNorth: Attic East: None South: None West: None Objects: 0\n'),
    textDocument(Uri.file(path.join(recorder.folder, 'notes.txt')), 'plaintext', 'Start: Nowhere\n'),
    textDocument(Uri.parse('git:/World.txt'), 'wander', slipped),
  ];
  const fake = createFakeVscode({
    settings: { 'wander.server.path': recorder.script },
    documents,
  });
  const extension = loadExtension(fake);
  t.after(() => extension.deactivate()); // a server left running would keep the test waiting
  await extension.activate({ subscriptions: [] });
  assert.deepStrictEqual(fake.seen.errors, []);
  // Without the setting, the program the manifest promises is looked up on the PATH.
  const manifest = JSON.parse(fs.readFileSync(path.join(extensionFolder, 'package.json'), 'utf8'));
  const setting = manifest.contributes.configuration.properties['wander.server.path'];
  const asked = fake.seen.settingsAsked.filter(([name]) => name === 'wander.server.path');
  assert.deepStrictEqual(asked, [['wander.server.path', setting.default]]);
  const worlds = [onDisk.toString(), unsaved.toString()];
  await eventually(() => worlds.every((uri) => fake.seen.diagnostics.has(uri)), 'diagnostics');

  const yard = fake.seen.diagnostics.get(onDisk.toString());
  assert.deepStrictEqual(
    yard.map((d) => [d.range.start.line, d.code]),
    [[55, 'missing-block']],
    'the misspelt exit of the yard, line 56',
  );
  const hall = fake.seen.diagnostics.get(unsaved.toString());
  assert.deepStrictEqual(
    hall.map((d) => [d.range.start.line, d.code]),
    [[4, 'missing-block']],
  );

  await extension.deactivate();
  assert.strictEqual(recorder.read('arguments'), 'lsp\n');
  await eventually(() => recorder.has('status'), 'the server ended');
  assert.strictEqual(recorder.read('status'), '0\n', 'ended after shutdown and exit');
  const opened = sentMessages(recorder.read('input'))
    .filter((m) => m.method === 'textDocument/didOpen')
    .map((m) => m.params.textDocument.uri);
  assert.deepStrictEqual(opened.sort(), worlds.sort());
});

test('a program that cannot be started is an error naming the setting', async () => {
  const missing = path.join(os.tmpdir(), 'no-such-folder', 'wander-world');
  const fake = createFakeVscode({ settings: { 'wander.server.path': missing } });
  const extension = loadExtension(fake);
  await extension.activate({ subscriptions: [] });
  // The client says it could not connect; the extension says what to do about it.
  const advice = fake.seen.errors.filter((e) => e.includes('wander.server.path'));
  assert.strictEqual(advice.length, 1, `errors: ${fake.seen.errors.join('\n')}`);
  assert.ok(advice[0].includes(missing), advice[0]);
  assert.strictEqual(extension.deactivate(), undefined, 'nothing to stop');
});
