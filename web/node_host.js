// Node as the game's host (see game_host.js): keys from standard input, output straight to
// standard output, and World.txt from the current folder, through the real file system
// (-sNODERAWFS). So `node --no-experimental-fetch wander.js` plays as the console game does.

Module['host'] = {
  'readKeys': function (size) {
    const fs = require('fs');
    const buffer = Buffer.alloc(Math.min(size, 1 << 16));
    return new Promise((resolve, reject) => {
      const attempt = () => fs.read(0, buffer, 0, buffer.length, null, (error, n) => {
        // A descriptor left non-blocking by whoever started us has nothing yet: wait a little.
        if (error && error.code === 'EAGAIN') return setTimeout(attempt, 10);
        // An error is no end of input: the game says so and stops, as the console game does.
        if (error) return reject(error);
        resolve(new Uint8Array(buffer.buffer, 0, n));
      });
      attempt();
    });
  },
  // Asked of the descriptor, not of process.stdout, which would turn a pipe non-blocking.
  'isTerminal': (fd) => require('tty').isatty(fd),
};
