// The wander extension: VS Code's language client on `wander-world lsp`, for worlds (the
// language `wander`: World.txt and *.world). Colours and folds come from the grammar and the
// language configuration and need no server; everything else (diagnostics, quick fixes, go to
// definition, references, rename, hovers, completion, symbols) is the server's.
'use strict';

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

/** The client of this window, while it runs. */
let client;

/**
 * The server as the setting `wander.server.path` names it. No transport is given, so the client
 * talks over the program's standard streams and adds no `--stdio` of its own.
 */
function serverOptions() {
  const program = vscode.workspace.getConfiguration('wander').get('server.path', 'wander-world');
  const run = { command: program, args: ['lsp'] };
  return { run, debug: run };
}

/** Worlds on disk and worlds not saved yet; any other scheme has no file the game could read. */
const documentSelector = [
  { language: 'wander', scheme: 'file' },
  { language: 'wander', scheme: 'untitled' },
];

/**
 * Starts the server for this window. A program that cannot be started leaves the world
 * coloured but unchecked, and says which setting to change.
 */
async function activate() {
  const server = serverOptions();
  const started = new LanguageClient('wander', 'wander world', server, { documentSelector });
  try {
    await started.start();
    client = started;
  } catch (error) {
    const why = error && error.message ? error.message : String(error);
    void vscode.window.showErrorMessage(
      `wander: the language server '${server.run.command} lsp' did not start (${why}). ` +
        "Set 'wander.server.path' to the wander-world program, then reload the window.",
    );
  }
}

/** Asks the server to shut down, and waits until it has. */
function deactivate() {
  if (!client) return undefined;
  const stopping = client.stop();
  client = undefined;
  return stopping;
}

module.exports = { activate, deactivate };
