'use strict';
// The harness's own promises, checked against the real application: page errors reach the
// test, and a closed application leaves no web engine process behind. Every other test relies
// on both without seeing them.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const { launchApp, waitUntil } = require('./harness');
const procfs = require('./harness/procfs');

test('a page exception and a console error are reported to the test', { timeout: 180000 }, async () => {
  const app = await launchApp();
  await app.bridge.ready();
  await app.page.evaluate(() => {
    setTimeout(() => { throw new Error('thrown by the e2e self-check'); }, 0);
    console.error('logged by the e2e self-check');
  });
  await waitUntil(() => app.page.errors.length >= 2, { timeoutMs: 30000, what: 'two page errors' });
  // Taken here, so the end-of-test check does not fail this test for them.
  const errors = app.takeNewErrors();
  assert.ok(errors.some((error) => error.kind === 'exception' && error.text.includes('thrown by the e2e self-check')),
    JSON.stringify(errors));
  assert.ok(errors.some((error) => error.kind === 'console.error' && error.text.includes('logged by the e2e self-check')),
    JSON.stringify(errors));
  await assert.rejects(app.page.waitFor('false', { timeoutMs: 1000 }), /timed out/,
    'once taken, old errors no longer end a wait');
});

test('closing the application leaves none of its processes running', { timeout: 180000 }, async () => {
  const app = await launchApp();
  await app.bridge.ready();
  const appPid = app.process.pid;
  const helpers = procfs.webEngineHelpers(appPid).map((helper) => helper.pid);
  assert.ok(helpers.length > 0, 'the web engine runs in helper processes');
  const closed = await app.close();
  assert.equal(closed.code, 0);
  await waitUntil(() => [appPid, ...helpers].every((pid) => !procfs.isAlive(pid)),
    { timeoutMs: 30000, what: `processes ${[appPid, ...helpers]} to end` });
});
