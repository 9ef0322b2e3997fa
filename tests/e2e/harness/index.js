'use strict';
// The end-to-end harness. Requiring it from a test file registers two hooks on that file:
// after each test, page errors (JavaScript exceptions, console errors, unexpected render-process
// crashes) fail the test and every running application gets an end-of-test screenshot; after
// the file, everything launched is stopped and its folders removed, whatever happened.
const { after, afterEach } = require('node:test');
const { Application } = require('./application');
const { echoOf } = require('./bridge');
const { formatPageErrors } = require('./pageclient');
const { readProjectModules } = require('./projectfile');
const { sleep, waitUntil } = require('./waiting');

const launched = new Set();

// launchApp({ units: [{ board: 'qmr', com: 3, args: [] }], dialogScript: ['project cancel'],
// env: {}, args: [] }) -> Application with page, bridge, restart(), close(), kill() (README.md).
async function launchApp(options = {}) {
  const app = new Application(options);
  launched.add(app);
  await app.start();
  return app;
}

afterEach(async (t) => {
  const errors = [];
  for (const app of launched) {
    if (app.isRunning() && app.page) {
      await app.page.screenshot(`end-of-${t.name}`, { timeoutMs: 5000 }).catch(() => {});
    }
    errors.push(...app.takeNewErrors());
  }
  if (errors.length > 0) {
    throw new Error(`page errors during "${t.name}":\n${formatPageErrors(errors)}`);
  }
});

after(async () => {
  for (const app of launched) await app.dispose();
  launched.clear();
});

module.exports = { launchApp, echoOf, readProjectModules, sleep, waitUntil };
