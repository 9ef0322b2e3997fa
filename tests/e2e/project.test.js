'use strict';
// What closing the window does with the project: a named project with changes is not closed
// behind the user's back, an unnamed one is kept without asking and comes back at the next start.
const { test } = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { launchApp, readProjectModules, waitUntil } = require('./harness');

const COM = 4;
const PORT = `COM${COM}`;

function waitForQuestion(app, kind) {
  return waitUntil(() => app.dialogsAsked().find((asked) => asked.kind === kind),
    { timeoutMs: 30000, what: `a "${kind}" question in ${app.dialogScriptPath}.asked` });
}

test('closing a modified named project asks "Save Project", stays open on Cancel and closes unsaved on Discard', { timeout: 240000 }, async () => {
  const app = await launchApp({ units: [{ board: 'qmr', com: COM }] });
  const named = path.join(app.sandbox.root, 'site-a.vdp');
  app.appendDialogAnswers([`save ${named}`]);
  await app.bridge.ready();
  await app.bridge.call('save_project_as');
  assert.ok(fs.existsSync(named), 'save as writes the named project');
  const savedText = fs.readFileSync(named, 'utf8');

  // Choosing a port changes the module's settings, so the project now differs from its file.
  await app.bridge.choosePort(PORT);
  app.appendDialogAnswers(['project cancel']);
  await app.bridge.send('exit_application');
  const question = await waitForQuestion(app, 'project');
  assert.deepEqual(question, {
    kind: 'project',
    title: 'Save Project',
    text: 'The project has been modified.',
    detail: 'Do you want to save your changes to "site-a.vdp"?',
    answer: 'cancel',
  });
  // Still open: the page and the unit keep talking after the cancelled close.
  const reply = await app.bridge.exchange('v 42 00 0100\r\n');
  assert.match(reply, /^K57-QMR\r\nv 42 00 0100\r\n/);
  assert.ok(app.isRunning(), 'Cancel keeps the application running');
  assert.equal(fs.readFileSync(named, 'utf8'), savedText, 'Cancel saves nothing');

  app.appendDialogAnswers(['project discard']);
  const closed = await app.close();
  assert.deepEqual({ how: closed.how, code: closed.code }, { how: 'exit_application', code: 0 });
  assert.deepEqual(app.dialogsAsked().map((asked) => `${asked.kind} ${asked.answer}`),
    [`save ${named}`, 'project cancel', 'project discard']);
  assert.equal(fs.readFileSync(named, 'utf8'), savedText, 'Discard closes without saving');
});

test('closing a modified default project saves it without asking and the next start loads it', { timeout: 240000 }, async () => {
  const app = await launchApp({ units: [{ board: 'qmr', com: COM }] });
  await app.bridge.choosePort(PORT);
  const closed = await app.close();
  assert.deepEqual({ how: closed.how, code: closed.code }, { how: 'exit_application', code: 0 });
  assert.deepEqual(app.dialogsAsked(), [], 'the default project is saved without a question');
  const [project] = app.dataFiles('default.vdp');
  assert.ok(project, 'default.vdp is written');
  assert.deepEqual(readProjectModules(project).map((module) => module.port), [PORT]);

  await app.restart();
  await app.bridge.ready();
  // Nobody chooses the port this time: the loaded project brings the module back on it.
  const reply = await app.bridge.exchange('v 42 00 0100\r\n', { timeoutMs: 60000 });
  assert.match(reply, /^K57-QMR\r\nv 42 00 0100\r\n/);
  await app.close();
  assert.deepEqual(app.dialogsAsked(), [], 'loading and saving the default project asks nothing');
  assert.deepEqual(readProjectModules(project).map((module) => module.port), [PORT],
    'the loaded project still holds its one module, not an added default one');
});
