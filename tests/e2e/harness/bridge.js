'use strict';
// The page's own bridge object qtobj, used from a test. A recorder installed in the page connects
// to the bridge's signals and keeps what arrives, numbered, so a test can ask "what did the page
// see after this point". The page keeps its own connections; the recorder only adds listeners
// (a second web channel client on the same transport would steal the page's messages).
//
// Pages publish qtobj as a global once their channel is open; a page that keeps it private is
// still reached: the DevTools heap query finds the page's QWebChannel and its objects.
//
// takeOver() silences the page's own traffic calls (exec, flush, polling) so that only the test
// drives the module: the screen's preload and polling would otherwise interleave with the
// commands under test. The page's attempts are still recorded as "page:<slot>" events.
const { waitUntil } = require('./waiting');

// Runs in the page. Idempotent per document; a new document (reload, crash) starts afresh with a
// new document id, which makes older marks meaningless there.
function installRecorder() {
  if (window.__varenE2E) return window.__varenE2E;
  const bridge = window.__varenE2EQtobj;
  if (!bridge) throw new Error('the page\'s qtobj has not been found yet');
  // Signals that the page must not subscribe to: one carries a type the channel cannot send to
  // a page, one returns a value to the host, two are QObject's own.
  const skipped = new Set(['startDataRefresh', 'setting_requested', 'destroyed', 'objectNameChanged']);
  const state = {
    document: Math.random().toString(36).slice(2),
    seq: 0,
    events: [],
    original: {},
    takenOver: false,
  };
  state.record = (name, args) => {
    state.events.push({ seq: ++state.seq, name, args });
    if (state.events.length > 50000) state.events.splice(0, 25000);
  };
  // Events of the signal after a mark; a mark from another document counts from the start.
  state.after = (mark, name) => {
    const start = mark && mark.document === state.document ? mark.seq : 0;
    return state.events.filter((event) => event.seq > start && event.name === name);
  };
  for (const name of Object.keys(bridge)) {
    const member = bridge[name];
    if (typeof member === 'function') state.original[name] = member;
    else if (member && typeof member.connect === 'function' && !name.includes('(') && !skipped.has(name)) {
      member.connect((...args) => state.record(name, args));
    }
  }
  window.__varenE2E = state;
  return state;
}

const recorder = `(${installRecorder})()`;

// The second line of a reply text is the command that produced it (module name, CR LF, command).
function echoOf(text) {
  const lines = String(text).split('\n');
  return lines.length > 1 ? `${lines[1]}\n` : undefined;
}

const trafficSlots = ['exec', 'flush', 'start_data_refresh', 'start_MediaConverter_data_refresh', 'stop_data_refresh'];

class Bridge {
  constructor(page) {
    this.page = page;
  }

  // Runs fn(state, ...args) in the page with the recorder in place.
  withRecorder(fn, ...args) {
    return this.page.evaluate(`(${fn})(${recorder}, ${args.map((arg) => JSON.stringify(arg)).join(', ')})`);
  }

  // Waits for the page's qtobj and installs the recorder.
  async ready({ timeoutMs } = {}) {
    await waitUntil(async () => {
      this.page.throwIfErrors();
      if (!(await this.locate())) return undefined;
      return this.page.evaluate(`${recorder} && true`);
    }, { timeoutMs: timeoutMs || this.page.timeoutMs, what: 'the page\'s qtobj' });
  }

  // Makes the page's qtobj reachable as window.__varenE2EQtobj; true when it is.
  async locate() {
    const published = await this.page.evaluate(() => {
      if (window.__varenE2EQtobj) return true;
      if (window.qtobj && window.qtobj.__id__ === 'qtobj') window.__varenE2EQtobj = window.qtobj;
      return Boolean(window.__varenE2EQtobj);
    });
    if (published) return true;
    const group = 'varen-e2e-locate';
    try {
      const prototype = await this.page.send('Runtime.evaluate', {
        expression: 'typeof QWebChannel === "function" ? QWebChannel.prototype : undefined',
        objectGroup: group,
      });
      if (!prototype.result.objectId) return false;
      const { objects } = await this.page.send('Runtime.queryObjects', { prototypeObjectId: prototype.result.objectId, objectGroup: group });
      const { result } = await this.page.send('Runtime.callFunctionOn', {
        objectId: objects.objectId,
        returnByValue: true,
        // The objects appear once the channel's first answer has arrived.
        functionDeclaration: `function () {
          const channel = this.find((candidate) => candidate.objects && candidate.objects.qtobj);
          if (channel) window.__varenE2EQtobj = channel.objects.qtobj;
          return Boolean(channel);
        }`,
      });
      return result.value;
    } finally {
      await this.page.send('Runtime.releaseObjectGroup', { objectGroup: group }).catch(() => {});
    }
  }

  // A point in the page's event history; events after it are "since" it.
  async mark() {
    await this.ready();
    return this.withRecorder((state) => ({ document: state.document, seq: state.seq }));
  }

  // Events of the signal after the mark: [{ seq, name, args }].
  async events(name, { since } = {}) {
    await this.ready();
    return this.withRecorder((state, wanted, mark) => state.after(mark, wanted), name, since || null);
  }

  async count(name, { since } = {}) {
    await this.ready();
    return this.withRecorder((state, wanted, mark) => state.after(mark, wanted).length, name, since || null);
  }

  // The first `count` events of the signal after the mark whose arguments satisfy where (a
  // page-side function taking the arguments, or omitted), once that many have arrived. A mark
  // from an older document (before a reload or crash) counts from the new document's start.
  async waitForEvents(name, { since, where, count = 1, timeoutMs, what } = {}) {
    await this.ready();
    const accept = where ? String(where) : '() => true';
    const find = (state, wanted, mark, test, needed) => {
      const found = state.after(mark, wanted).filter((event) => test(...event.args));
      return found.length >= needed ? found.slice(0, needed) : undefined;
    };
    const expression = `(${find})(${recorder}, ${JSON.stringify(name)}, ${JSON.stringify(since || null)}, ${accept}, ${count})`;
    return this.page.waitFor(expression, {
      timeoutMs, what: what || `${count} × signal ${name}${where ? ` with ${accept}` : ''}`,
    });
  }

  async waitForSignal(name, options = {}) {
    const [event] = await this.waitForEvents(name, { ...options, count: 1 });
    return event;
  }

  // Calls a slot and returns its result (the web channel answers every call).
  async call(slot, ...args) {
    await this.ready();
    return this.withRecorder((state, name, values) => new Promise((resolve, reject) => {
      if (!state.original[name]) reject(new Error(`qtobj has no slot ${name}`));
      else state.original[name](...values, resolve);
    }), slot, args);
  }

  // Calls a slot without waiting for its answer (exit_application: the page may be gone first).
  async send(slot, ...args) {
    await this.ready();
    return this.withRecorder((state, name, values) => {
      if (!state.original[name]) throw new Error(`qtobj has no slot ${name}`);
      state.original[name](...values);
      return true;
    }, slot, args);
  }

  async takeOver() {
    await this.ready();
    return this.withRecorder((state, slots) => {
      if (state.takenOver) return true;
      const bridge = window.__varenE2EQtobj;
      for (const name of slots) {
        if (typeof bridge[name] === 'function') {
          bridge[name] = (...values) => state.record(`page:${name}`, values.filter((value) => typeof value !== 'function'));
        }
      }
      state.takenOver = true;
      return true;
    }, trafficSlots);
  }

  // Chooses the port as the page's port list does and waits until the page is told that the
  // board is connected. Returns the mark taken before the choice.
  async choosePort(port, { timeoutMs = 60000 } = {}) {
    const since = await this.mark();
    await this.call('update_port_selection', port);
    await this.waitForSignal('board_status', { since, where: (status) => status === 2, timeoutMs });
    return since;
  }

  // One console command and its reply, with the page's own traffic silenced: polling is stopped,
  // the command is sent and the reply whose echo is the command is returned. The module drops
  // commands while its board is not connected, so the command is sent again now and then until
  // a reply comes.
  async exchange(command, { timeoutMs = 30000, resendMs = 5000 } = {}) {
    await this.takeOver();
    const since = await this.mark();
    await this.send('stop_data_refresh');
    const where = `(text) => (${echoOf})(text) === ${JSON.stringify(command)}`;
    const event = await waitUntil(async () => {
      await this.send('exec', command);
      return this.waitForSignal('replyrecvd', { since, where, timeoutMs: resendMs });
    }, { timeoutMs, intervalMs: 0, what: `the reply to ${JSON.stringify(command)}` });
    return event.args[0];
  }
}

module.exports = { Bridge, echoOf };
