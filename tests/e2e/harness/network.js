'use strict';
// Loopback helpers for the DevTools endpoint.
const net = require('node:net');

// A port that was free a moment ago. The application binds it a little later; a collision is
// possible in principle and shows as an endpoint that never answers, which launchApp reports.
function freeLoopbackPort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.unref();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function fetchJson(url, timeoutMs = 2000) {
  const response = await fetch(url, { signal: AbortSignal.timeout(timeoutMs) });
  if (!response.ok) throw new Error(`${url}: HTTP ${response.status}`);
  return response.json();
}

module.exports = { freeLoopbackPort, fetchJson };
