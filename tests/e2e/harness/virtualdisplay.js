'use strict';
// An X server of our own for the application's window. Xvfb picks a free display number itself
// (-displayfd), so tests running side by side never race for one.
const { ManagedProcess } = require('./managedprocess');

class VirtualDisplay {
  static async start({ logFile, timeoutMs = 30000 }) {
    const server = new ManagedProcess('Xvfb', 'Xvfb',
      ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp', '-noreset'],
      { env: process.env, logFile, extraStdio: ['pipe'] });
    await server.spawned;
    const number = await new Promise((resolve, reject) => {
      let text = '';
      const timer = setTimeout(() => reject(new Error(
        `Xvfb reported no display number within ${timeoutMs} ms:\n${server.tail()}`)), timeoutMs);
      server.child.stdio[3].on('data', (chunk) => {
        text += chunk.toString();
        if (text.includes('\n')) {
          clearTimeout(timer);
          resolve(text.trim());
        }
      });
      server.exited.then((status) => {
        clearTimeout(timer);
        reject(new Error(`Xvfb exited (${JSON.stringify(status)}):\n${server.tail()}`));
      });
    }).catch(async (error) => {
      await server.kill();
      throw error;
    });
    return new VirtualDisplay(server, `:${number}`);
  }

  constructor(server, display) {
    this.server = server;
    this.display = display;
  }

  stop() {
    return this.server.stop(5000);
  }
}

module.exports = { VirtualDisplay };
