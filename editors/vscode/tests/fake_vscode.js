// A stand-in for the `vscode` module, which exists only inside VS Code: enough of it for the
// extension and for the real vscode-languageclient under it to start a server, open documents
// and take its diagnostics. It records what the extension and the client did with it.
//
// What the client only registers (providers, commands, watchers, events) is accepted and
// forgotten; a class or enum it names and this file does not define is a plain class whose
// unknown members are their own names. The parts a test looks at are written out.
'use strict';

const path = require('node:path');
const Module = require('node:module');

const disposable = () => ({ dispose() {} });
const event = () => disposable;

// A class that takes anything; reading a member it lacks gives the member's name, so that enums
// the client reads (kinds, triggers) have a value.
function anyClass(name) {
  const cls = {
    [name]: class {
      constructor(...args) {
        this.args = args;
      }
    },
  }[name];
  return new Proxy(cls, {
    get: (target, key) => (key in target ? target[key] : String(key)),
  });
}

// A namespace whose unknown members are functions returning disposables: register...(),
// on...() and the like.
function namespace(known) {
  return new Proxy(known, {
    get: (target, key) => (key in target ? target[key] : () => disposable()),
  });
}

class Uri {
  constructor(scheme, fsPath) {
    this.scheme = scheme;
    this.fsPath = fsPath;
    this.path = fsPath;
  }
  static file(fsPath) {
    return new Uri('file', fsPath);
  }
  static parse(text) {
    const colon = text.indexOf(':');
    const scheme = text.slice(0, colon);
    const rest = text.slice(colon + 1).replace(/^\/\//, '');
    return new Uri(scheme, decodeURIComponent(rest));
  }
  toString() {
    return this.scheme === 'file' ? `file://${encodeURI(this.fsPath)}` : `${this.scheme}:${this.path}`;
  }
  toJSON() {
    return this.toString();
  }
}

class Range {
  constructor(a, b, c, d) {
    const at = (line, character) => ({ line, character });
    [this.start, this.end] = typeof a === 'number' ? [at(a, b), at(c, d)] : [a, b];
  }
}

class Diagnostic {
  constructor(range, message, severity) {
    Object.assign(this, { range, message, severity });
  }
}

class EventEmitter {
  constructor() {
    this.listeners = [];
    this.event = (listener) => {
      this.listeners.push(listener);
      return disposable();
    };
  }
  fire(value) {
    for (const listener of this.listeners) listener(value);
  }
  dispose() {}
}

class CancellationTokenSource {
  constructor() {
    this.token = { isCancellationRequested: false, onCancellationRequested: event() };
  }
  cancel() {
    this.token.isCancellationRequested = true;
  }
  dispose() {}
}

/** A document as VS Code gives it to extensions: what the client reads to open it. */
function textDocument(uri, languageId, text) {
  return { uri, languageId, version: 1, isClosed: false, getText: () => text };
}

/**
 * A fresh `vscode`: `settings` are the values of getConfiguration(section).get(key), keyed
 * "section.key"; `documents` are the documents open in the window. The record of what happened
 * is `fake.seen`.
 */
function createFakeVscode({ settings = {}, documents = [] } = {}) {
  const seen = { settingsAsked: [], errors: [], output: [], diagnostics: new Map() };
  const diagnosticsArrived = new EventEmitter();
  const languages = namespace({
    match(selector, document) {
      const filters = Array.isArray(selector) ? selector : [selector];
      return filters.some(
        (f) =>
          (f.language === undefined || f.language === document.languageId) &&
          (f.scheme === undefined || f.scheme === document.uri.scheme),
      )
        ? 10
        : 0;
    },
    createDiagnosticCollection: () => ({
      set(uri, diagnostics) {
        seen.diagnostics.set(uri.toString(), diagnostics);
        diagnosticsArrived.fire(uri.toString());
      },
      delete(uri) {
        seen.diagnostics.delete(uri.toString());
      },
      clear() {
        seen.diagnostics.clear();
      },
      forEach() {},
      dispose() {},
    }),
  });
  const workspace = namespace({
    textDocuments: documents,
    workspaceFolders: undefined,
    getConfiguration(section) {
      return {
        get(key, fallback) {
          const name = section ? `${section}.${key}` : key;
          seen.settingsAsked.push(name);
          return name in settings ? settings[name] : fallback;
        },
      };
    },
  });
  const outputChannel = () => ({
    name: 'output',
    append: (text) => seen.output.push(text),
    appendLine: (text) => seen.output.push(text),
    replace() {},
    clear() {},
    show() {},
    hide() {},
    dispose() {},
  });
  const window = namespace({
    createOutputChannel: outputChannel,
    showErrorMessage: async (message) => void seen.errors.push(message),
  });
  const known = {
    version: '1.82.0',
    Uri,
    Range,
    Diagnostic,
    EventEmitter,
    CancellationTokenSource,
    languages,
    workspace,
    window,
  };
  const vscode = new Proxy(known, {
    get: (target, key) => {
      if (!(key in target)) target[key] = anyClass(String(key));
      return target[key];
    },
  });
  return { vscode, seen, onDiagnostics: diagnosticsArrived.event };
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
  entry.filename = fakePath;
  entry.loaded = true;
  entry.exports = vscode;
  require.cache[fakePath] = entry;
}

module.exports = { createFakeVscode, installFakeVscode, textDocument, Uri };
