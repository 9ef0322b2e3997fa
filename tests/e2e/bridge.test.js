'use strict';
// The road from a page through qtobj to a simulated unit and back: port choice, one console
// command and polling, as the page scripts use them.
const { describe, test, before } = require('node:test');
const assert = require('node:assert/strict');
const { launchApp, echoOf } = require('./harness');

const COM = 5;
const PORT = `COM${COM}`;
const BOARD_CONNECTING = 1;
const BOARD_CONNECTED = 2;
const PORT_OPEN = 1;

describe('page bridge against a simulated K57-QMR', { timeout: 300000 }, () => {
  let app;

  before(async () => {
    app = await launchApp({ units: [{ board: 'qmr', com: COM }] });
    await app.bridge.ready();
  });

  test('choosing the simulator\'s port through the page connects the board', async () => {
    const since = await app.bridge.choosePort(PORT);
    const statuses = (await app.bridge.events('board_status', { since })).map((event) => event.args[0]);
    assert.equal(statuses[0], BOARD_CONNECTING, `a connection attempt comes first (${statuses})`);
    assert.equal(statuses[statuses.length - 1], BOARD_CONNECTED, `the board ends connected (${statuses})`);
    const portStatuses = (await app.bridge.events('port_status', { since })).map((event) => event.args);
    assert.ok(portStatuses.some(([status, name]) => status === PORT_OPEN && name === PORT),
      `the page is told that ${PORT} is open (${JSON.stringify(portStatuses)})`);
    await app.page.screenshot('connected');
  });

  test('exec of a whole-page read replies with module name, command and 256 data bytes', async () => {
    const command = 'v 42 00 0100\r\n';
    const since = await app.bridge.mark();
    const reply = await app.bridge.exchange(command);
    // The unit sends each byte as two upper-case hex digits and a blank; the host adds nothing.
    assert.match(reply, /^K57-QMR\r\nv 42 00 0100\r\n([0-9A-F]{2} ){256}$/);
    const sent = (await app.bridge.events('cmd_executed', { since })).map((event) => event.args[0]);
    assert.ok(sent.includes(command), `the host reports the exact command it sent (${JSON.stringify(sent)})`);
  });

  test('start_data_refresh with an empty piece polls exactly the two commands', async () => {
    const commands = ['v 42 00 0100\r\n', 'v 43 00 0100\r\n'];
    await app.bridge.takeOver();
    await app.bridge.call('stop_data_refresh');
    const since = await app.bridge.mark();
    await app.bridge.call('start_data_refresh', `${commands[0]},,${commands[1]}`);
    // Three rounds: an empty command slipped into the list would show as a time-out and the
    // module's start command in between.
    const count = 6;
    const replies = await app.bridge.waitForEvents('replyrecvd', { since, count, timeoutMs: 90000 });
    const executed = await app.bridge.waitForEvents('cmd_executed', { since, count });
    await app.bridge.call('stop_data_refresh');
    const echoes = replies.map((event) => echoOf(event.args[0]));
    const sent = executed.map((event) => event.args[0]);
    const expected = Array.from({ length: count }, (_, index) => commands[index % 2]);
    assert.deepEqual(sent, expected, 'the module sends only the two commands, round the list in order');
    assert.deepEqual(echoes, expected, 'each reply names the command it answers');
  });
});
