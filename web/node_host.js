// Node as the game's host (see game_host.js): keys from standard input, output straight to
// standard output, and World.txt from the current folder, through the real file system
// (-sNODERAWFS). So `node --no-experimental-fetch wander.js` plays as the console game does.

Module['host'] = {
  'readKeys': function (size) {
    const fs = require('fs');
    const buffer = Buffer.alloc(Math.min(size, 1 << 16));
    return new Promise((resolve) => {
      const attempt = () => fs.read(0, buffer, 0, buffer.length, null, (error, n) => {
        // A descriptor left non-blocking by whoever started us has nothing yet: wait a little.
        if (error && error.code === 'EAGAIN') return setTimeout(attempt, 10);
        // An error reads as the end of input, as it does for the console game.
        resolve(error ? new Uint8Array(0) : new Uint8Array(buffer.buffer, 0, n));
      });
      attempt();
    });
  },
  // Asked of the descriptor, not of process.stdout, which would turn a pipe non-blocking.
  'isTerminal': (fd) => require('tty').isatty(fd),
};
