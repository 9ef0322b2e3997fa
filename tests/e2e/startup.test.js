'use strict';
// The first start of the application on a machine with no project: the default module appears
// with its home page, nothing is asked, and the unnamed project keeps that one module.
const { describe, test, before } = require('node:test');
const assert = require('node:assert/strict');
const { launchApp, readProjectModules } = require('./harness');

const HOME_PAGE = 'qrc:/html/K57-QMR/stack-view.html';
const K57_QMR_DEVICE_TYPE = 4;

describe('first start with no project', { timeout: 240000 }, () => {
  let app;

  before(async () => {
    app = await launchApp({ units: [{ board: 'qmr', com: 3 }] });
  });

  test('shows the K57-QMR home page with a working qtobj and asks nothing', async () => {
    await app.page.waitForTarget((target) => target.url === HOME_PAGE, { what: `the home page ${HOME_PAGE}` });
    await app.bridge.ready();
    const shown = await app.page.waitFor(() => {
      const body = document.body;
      if (document.readyState !== 'complete' || !body) return undefined;
      const style = getComputedStyle(body);
      const text = body.innerText.trim();
      return style.visibility !== 'hidden' && style.display !== 'none' && text.length > 0 ? text : undefined;
    }, { what: 'a visible home page with text' });
    assert.match(shown, /K57-QMR/, 'the home page names the board');
    // A slot with a result proves the round trip: the page asks, the host answers.
    const answer = await app.bridge.call('request_setting', 'no_such_setting');
    assert.equal(typeof answer, 'string');
    await app.page.screenshot('home-page');
    assert.deepEqual(app.dialogsAsked(), [], 'a first start asks no question (a missing default project is not an error)');
  });

  test('adds exactly one K57-QMR module, which the unnamed project keeps', async () => {
    const closed = await app.close();
    assert.deepEqual({ how: closed.how, code: closed.code }, { how: 'exit_application', code: 0 });
    const projects = app.dataFiles('default.vdp');
    assert.equal(projects.length, 1, 'closing saves the default project once');
    const modules = readProjectModules(projects[0]);
    assert.deepEqual(modules.map((module) => module.type), [K57_QMR_DEVICE_TYPE]);
    assert.deepEqual(app.dialogsAsked(), [], 'the default project is saved without a question');
  });
});
