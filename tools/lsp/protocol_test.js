// The language server as a program, driven by vscode-jsonrpc, the JSON-RPC layer VS Code itself
// uses, over the program's standard streams (natively, and under Wine by tests/wine_test.sh): a
// copy of the sample world with slips made in it is opened and its diagnostics come, the whole
// text is changed and checked again, and the server is shut down. What each answer must hold is
// worked out from the world's text here, not copied from the server. What every feature
// answers, request by request (renames among them), is held to lsp_test.txt's sessions.
//
//   node tools/lsp/protocol_test.js WORLD_TXT PROGRAM [ARGUMENT...]
//   e.g. node tools/lsp/protocol_test.js examples/World.txt build/wander-world
//        node tools/lsp/protocol_test.js examples/World.txt wine build-windows/wander-world.exe
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { spawn } = require('node:child_process');

const root = path.join(__dirname, '..', '..');
const rpc = require(path.join(root, 'editors', 'vscode', 'node_modules', 'vscode-jsonrpc', 'node'));

const [worldPath, program, ...programArguments] = process.argv.slice(2);
const uri = 'file:///worlds/World.txt';

// The sample world with two slips: Jetty's east exit misspelt, and an object block nobody lists.
const sample = fs.readFileSync(worldPath, 'utf8');
assert.ok(sample.includes('\nEast: Rocks\n'), 'the sample world changed: Jetty leads east to Rocks');
const text = sample.replace('\nEast: Rocks\n', '\nEast: Roks\n') + '<Jetty|anchor>\nRust.\n*\n';
const lines = text.split('\n');
const lineOf = (wanted) => {
  const at = lines.indexOf(wanted);
  assert.ok(at >= 0, `no line ${wanted}`);
  return at;
};
const at = (line, character) => ({ line, character });
const span = (line, from, to) => ({ start: at(line, from), end: at(line, to) });

async function main() {
  const server = spawn(program, [...programArguments, 'lsp'], { stdio: ['pipe', 'pipe', 'inherit'] });
  const exited = new Promise((resolve) => server.on('exit', (code) => resolve(code)));
  const connection = rpc.createMessageConnection(
    new rpc.StreamMessageReader(server.stdout),
    new rpc.StreamMessageWriter(server.stdin),
  );
  const published = [];
  let notify = () => {};
  connection.onNotification('textDocument/publishDiagnostics', (params) => {
    published.push(params);
    notify();
  });
  connection.listen();
  const diagnosticsOf = async (version) => {
    for (;;) {
      const found = published.find((p) => p.uri === uri && p.version === version);
      if (found) return found.diagnostics;
      await new Promise((resolve) => {
        notify = resolve;
      });
    }
  };
  const ask = (method, params) =>
    connection.sendRequest(method, { textDocument: { uri }, ...params });

  const initialized = await connection.sendRequest('initialize', {
    processId: process.pid,
    rootUri: null,
    capabilities: { general: { positionEncodings: ['utf-16'] } },
  });
  assert.equal(initialized.capabilities.positionEncoding, 'utf-16');
  assert.equal(initialized.serverInfo.name, 'wander-world');
  connection.sendNotification('initialized', {});
  connection.sendNotification('textDocument/didOpen', {
    textDocument: { uri, languageId: 'wander', version: 1, text },
  });

  // The slips, with their kinds, places, notes and tags.
  const roks = lineOf('East: Roks');
  const anchor = lineOf('<Jetty|anchor>');
  const diagnostics = await diagnosticsOf(1);
  assert.deepEqual(
    diagnostics.map((d) => [d.code, d.severity, d.range]),
    [
      ['missing-block', 1, span(roks, 6, 10)],
      ['unlisted-object-block', 2, span(anchor, 0, '<Jetty|anchor>'.length)],
    ],
  );
  assert.match(diagnostics[0].message, /did you mean 'Rocks'\?/);
  assert.deepEqual(
    diagnostics[0].relatedInformation.map((r) => r.location.range.start.line),
    [lineOf('<Rocks>')],
  );
  assert.deepEqual(diagnostics[1].tags, [1]); // unnecessary: shown faded

  // The whole text replaced, the misspelt exit mended: the anchor alone is left.
  connection.sendNotification('textDocument/didChange', {
    textDocument: { uri, version: 2 },
    contentChanges: [{ text: text.replace('\nEast: Roks\n', '\nEast: Rocks\n') }],
  });
  assert.deepEqual(
    (await diagnosticsOf(2)).map((d) => [d.code, d.range]),
    [['unlisted-object-block', span(anchor, 0, '<Jetty|anchor>'.length)]],
  );

  // A method the server does not know is an error, not the end of it.
  await assert.rejects(connection.sendRequest('wander/nothing', {}), (error) => error.code === -32601);

  connection.sendNotification('textDocument/didClose', { textDocument: { uri } });
  await connection.sendRequest('shutdown');
  connection.sendNotification('exit');
  assert.equal(await exited, 0);
  connection.dispose();
  assert.deepEqual(published.at(-1), { uri, diagnostics: [] });
  console.log(`the server answered ${published.length} publications and every request right`);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
