'use strict';
// A render process that dies (out of memory, a driver fault, a kill) must not leave the user
// with a dead window: the web view is rebuilt with the module's home page and a working qtobj.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { launchApp } = require('./harness');

const HOME_PAGE = 'qrc:/html/K57-QMR/stack-view.html';
const COM = 6;

test('killing the render process brings the home page back with a working qtobj', { timeout: 240000 }, async () => {
  const app = await launchApp({ units: [{ board: 'qmr', com: COM }] });
  await app.bridge.choosePort(`COM${COM}`);
  const crashedTarget = app.page.targetId;

  await app.killRenderProcess();
  await app.page.waitForTarget((candidate) => candidate.targetId !== crashedTarget && candidate.url === HOME_PAGE,
    { timeoutMs: 60000, what: 'a new page showing the home page' });
  assert.equal(app.page.crashes.length, 1, 'exactly the one crash we caused');

  // Both directions of the rebuilt bridge: a command goes out, its reply comes back.
  const reply = await app.bridge.exchange('v 42 00 0100\r\n');
  assert.match(reply, /^K57-QMR\r\nv 42 00 0100\r\n([0-9A-F]{2} ){256}$/);
  await app.page.screenshot('after-render-crash');
  const closed = await app.close();
  assert.equal(closed.code, 0, 'the application still closes normally');
});
