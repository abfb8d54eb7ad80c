// A stand-in for the `vscode` module, which exists only inside VS Code: enough of it for the
// extension and the real vscode-languageclient under it to start a server, open documents and
// take their diagnostics. What the client only registers or names (providers, commands, events,
// enums) is `anything`: a function and a class at once, whose every member is `anything` again.
'use strict';

const path = require('node:path');
const Module = require('node:module');

const anything = new Proxy(function () {}, {
  get: (target, key) => (key === 'then' ? undefined : key in target ? target[key] : anything),
  apply: () => anything,
  construct: () => anything,
});
// An object with `known` members; any other is `anything`.
const only = (known) => new Proxy(known, { get: (t, key) => (key in t ? t[key] : anything) });

class Uri {
  constructor(scheme, fsPath) {
    Object.assign(this, { scheme, fsPath, path: fsPath });
  }
  static file(fsPath) {
    return new Uri('file', fsPath);
  }
  static parse(text) {
    const [, scheme, rest] = text.match(/^([^:]*):(?:\/\/)?(.*)$/);
    return new Uri(scheme, decodeURIComponent(rest));
  }
  toString() {
    return this.scheme === 'file' ? `file://${encodeURI(this.fsPath)}` : `${this.scheme}:${this.path}`;
  }
  toJSON() {
    return this.toString();
  }
}

/** A document as VS Code gives it to extensions: what the client reads to open it. */
function textDocument(uri, languageId, text) {
  return { uri, languageId, version: 1, isClosed: false, getText: () => text };
}

/**
 * A fresh `vscode`: `settings` are the values of getConfiguration(section).get(key), keyed
 * "section.key"; `documents` are the documents open in the window. What the extension asked
 * and was shown is in `seen`: settings asked with their fallbacks, errors, diagnostics by URI.
 */
function createFakeVscode({ settings = {}, documents = [] } = {}) {
  const seen = { settingsAsked: [], errors: [], diagnostics: new Map() };
  const matches = (filter, document) =>
    (filter.language ?? document.languageId) === document.languageId &&
    (filter.scheme ?? document.uri.scheme) === document.uri.scheme;
  const vscode = only({
    version: '1.82.0',
    Uri,
    Range: class {
      constructor(line, character, endLine, endCharacter) {
        this.start = { line, character };
        this.end = { line: endLine, character: endCharacter };
      }
    },
    Diagnostic: class {
      constructor(range, message, severity) {
        Object.assign(this, { range, message, severity });
      }
    },
    CancellationTokenSource: class {
      token = { isCancellationRequested: false, onCancellationRequested: anything };
      cancel() {
        this.token.isCancellationRequested = true;
      }
      dispose() {}
    },
    languages: only({
      match: (selector, document) => ([selector].flat().some((f) => matches(f, document)) ? 10 : 0),
      createDiagnosticCollection: () =>
        only({ set: (uri, diagnostics) => seen.diagnostics.set(uri.toString(), diagnostics) }),
    }),
    workspace: only({
      textDocuments: documents,
      workspaceFolders: undefined,
      getConfiguration: (section) => ({
        get(key, fallback) {
          const name = `${section}.${key}`;
          seen.settingsAsked.push([name, fallback]);
          return name in settings ? settings[name] : fallback;
        },
      }),
    }),
    window: only({ showErrorMessage: async (message) => void seen.errors.push(message) }),
  });
  return { vscode, seen };
}

/**
 * Makes require('vscode') give `vscode` from now on, wherever it is asked for (the extension
 * and vscode-languageclient alike), and forgets the modules loaded with an earlier one.
 */
function installFakeVscode(vscode) {
  const fakePath = path.join(__dirname, '__vscode__.js');
  if (!installFakeVscode.hooked) {
    const resolve = Module._resolveFilename;
    Module._resolveFilename = function (request, ...rest) {
      return request === 'vscode' ? fakePath : resolve.call(this, request, ...rest);
    };
    installFakeVscode.hooked = true;
  }
  for (const loaded of Object.keys(require.cache)) {
    if (!loaded.startsWith(__dirname + path.sep)) delete require.cache[loaded];
  }
  const entry = new Module(fakePath);
  Object.assign(entry, { filename: fakePath, loaded: true, exports: vscode });
  require.cache[fakePath] = entry;
}

module.exports = { createFakeVscode, installFakeVscode, textDocument, Uri };
