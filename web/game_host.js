// The game's host: what the game, built to WebAssembly, expects of whoever runs it (Node, through
// node_host.js, or the web page, through page.js). Bundled into the game's script ahead of it.
//
// Before the game starts, Module.host holds:
//   readKeys(n)     a promise of up to n bytes the player typed (a Uint8Array); empty at the end
//                   of input, rejected when the keys cannot be read (the game then stops with
//                   status 2). The game waits for it without blocking anything (console_web.cc).
//   isTerminal(fd)  whether output descriptor fd (1 or 2) shows on a terminal that understands
//                   ANSI escape sequences, so that the game may blank it.
//   world           optional: the bytes of World.txt, written into the game's own folder before
//                   it starts; without it the game reads the folder it was started in.
//   write(fd, b)    optional: takes the bytes b (a Uint8Array) the game wrote to descriptor fd
//                   (1 or 2); without it they go to the process's own streams.
//   waiting(what)   optional: called before the game reads keys, with what it waits for:
//                   'command' (at its "> " prompt), 'object' (an object's name, after its
//                   question) or 'key' (any key, after an object's text or "Terminated").
//   ended(status)   optional: called once the game has ended, with its exit status, or with
//                   null when it stopped on an internal error.
// The game then runs on its own: nothing but these calls passes between it and its host.

// Passes on what the game wrote and the host has not had yet (see preRun).
let flushOutput = () => {};

Module['preRun'] = [function () {
  const host = Module['host'];
  if (host['write']) {
    // The game's output is passed on byte for byte, in the order written; what one stretch of
    // play writes goes out in one piece once the game waits for keys or ends.
    const pending = { 1: [], 2: [] };
    const flush = (fd) => {
      if (pending[fd].length === 0) return;
      const bytes = Uint8Array.from(pending[fd]);
      pending[fd] = [];
      host['write'](fd, bytes);
    };
    const sink = (fd) => (byte) => {
      if (pending[fd].length === 0) queueMicrotask(() => flush(fd));
      pending[fd].push(byte);
    };
    flushOutput = () => {
      flush(1);
      flush(2);
    };
    FS.init(null, sink(1), sink(2));
  }
  if (host['world']) FS.writeFile('World.txt', host['world']);
}];

Module['onRuntimeInitialized'] = function () {
  const host = Module['host'];
  const ended = (status) => {
    flushOutput();
    if (host['ended']) host['ended'](status);
  };
  ccall('main', 'number', ['number', 'number'], [0, 0], { async: true }).then((status) => {
    // Ending the runtime flushes what the C library still holds; under Node it also ends the
    // process with the game's status.
    try {
      exit(status);
    } catch (e) {
      if (!(e instanceof ExitStatus)) throw e;
    }
    ended(status);
  }, () => ended(null));
};
