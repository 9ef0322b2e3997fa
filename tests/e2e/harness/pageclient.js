'use strict';
// The application's page as a test sees it, over the DevTools protocol. The web view shows one
// page at a time, but the page target is not fixed: a crashed render process makes the host
// build a new view, which is a new target. The client attaches to every page target the
// endpoint announces and always works on the newest live one, so a test can wait across a crash
// or a reload. Every JavaScript exception, console error and unexpected crash on any page is
// recorded; waits fail at once when one appears, and the harness fails the test at its end.
const fs = require('node:fs');
const path = require('node:path');
const { TargetGoneError } = require('./cdpconnection');
const { waitUntil } = require('./waiting');

class EvaluationError extends Error {
  constructor(message) {
    super(message);
    this.name = 'EvaluationError';
  }
}

function formatPageErrors(errors) {
  return errors.map((error) => `  [${error.kind}] ${error.text}${error.url ? ` (${error.url})` : ''}`).join('\n');
}

class PageErrorsError extends Error {
  constructor(errors) {
    super(`the page reported ${errors.length} error(s):\n${formatPageErrors(errors)}`);
    this.name = 'PageErrorsError';
    this.fatal = true; // stops waitUntil at once
  }
}

function describeRemote(arg) {
  if (arg.value !== undefined) return typeof arg.value === 'string' ? arg.value : JSON.stringify(arg.value);
  return arg.description || arg.unserializableValue || arg.type;
}

function describeException(details) {
  const where = details.url ? ` at ${details.url}:${details.lineNumber + 1}:${details.columnNumber + 1}` : '';
  const what = (details.exception && details.exception.description) || details.text;
  return `${what}${where}`;
}

// A call written as a function is sent as its source with JSON arguments, so page code can be
// written as ordinary JavaScript in the test file.
function toExpression(code, args) {
  if (typeof code === 'function') return `(${code})(${args.map((arg) => JSON.stringify(arg)).join(', ')})`;
  return String(code);
}

class PageClient {
  // watchdog() throws when waiting makes no sense any more (the application has exited).
  constructor(connection, { artifactsDir, timeoutMs = 30000, watchdog = () => {} }) {
    this.connection = connection;
    this.watchdog = watchdog;
    this.artifactsDir = artifactsDir;
    this.timeoutMs = timeoutMs;
    this.targets = new Map(); // targetId -> { targetId, url, sessionId, order, gone, attached }
    this.created = 0;
    this.errors = [];
    this.reportedErrors = 0;
    this.crashes = [];
    this.expectedCrashes = 0;
    this.onEvent = (method, params, sessionId) => this.handle(method, params, sessionId);
    connection.on('event', this.onEvent);
  }

  async start() {
    await this.connection.send('Target.setDiscoverTargets', { discover: true });
  }

  handle(method, params, sessionId) {
    switch (method) {
      case 'Target.targetCreated':
      case 'Target.targetInfoChanged':
        this.noteTarget(params.targetInfo);
        break;
      case 'Target.targetDestroyed':
        this.forget(params.targetId);
        break;
      case 'Target.targetCrashed':
        this.noteCrash(params);
        break;
      case 'Runtime.exceptionThrown':
        this.addError('exception', describeException(params.exceptionDetails), sessionId);
        break;
      case 'Runtime.consoleAPICalled':
        if (params.type === 'error' || params.type === 'assert') {
          this.addError(`console.${params.type}`, params.args.map(describeRemote).join(' '), sessionId);
        }
        break;
      case 'Log.entryAdded':
        if (params.entry.level === 'error') this.addError(`log:${params.entry.source}`, params.entry.text, sessionId, params.entry.url);
        break;
      default:
        break;
    }
  }

  noteTarget(info) {
    if (info.type !== 'page') return;
    const known = this.targets.get(info.targetId);
    if (known) {
      known.url = info.url;
      return;
    }
    const target = { targetId: info.targetId, url: info.url, sessionId: null, order: ++this.created, gone: false, attached: false };
    this.targets.set(info.targetId, target);
    this.attach(target);
  }

  async attach(target) {
    try {
      const { sessionId } = await this.connection.send('Target.attachToTarget', { targetId: target.targetId, flatten: true });
      target.sessionId = sessionId;
      // Runtime.enable replays the exceptions and console messages the page produced before we
      // attached, so errors of the first moments are not missed.
      await Promise.all(['Runtime.enable', 'Log.enable', 'Page.enable', 'Runtime.runIfWaitingForDebugger']
        .map((method) => this.connection.send(method, {}, sessionId)));
      target.attached = true;
    } catch (error) {
      if (!(error instanceof TargetGoneError) && !target.gone && !this.connection.closed) {
        this.addError('harness', `cannot attach to page ${target.url}: ${error.message}`);
      }
    }
  }

  forget(targetId) {
    const target = this.targets.get(targetId);
    if (target) target.gone = true;
  }

  noteCrash({ targetId, status, errorCode }) {
    const target = this.targets.get(targetId);
    if (target) target.gone = true;
    const crash = { targetId, status, errorCode, url: target && target.url };
    this.crashes.push(crash);
    if (this.expectedCrashes > 0) {
      this.expectedCrashes -= 1;
    } else {
      this.addError('crash', `render process ${status} (code ${errorCode})`, undefined, crash.url);
    }
  }

  addError(kind, text, sessionId, url) {
    const target = [...this.targets.values()].find((t) => t.sessionId === sessionId);
    this.errors.push({ kind, text, url: url || (target && target.url) });
  }

  // The harness announces a crash it causes on purpose.
  expectCrash() {
    this.expectedCrashes += 1;
  }

  // Errors not yet handed to the test runner; each is handed over once.
  takeNewErrors() {
    const fresh = this.errors.slice(this.reportedErrors);
    this.reportedErrors = this.errors.length;
    return fresh;
  }

  throwIfErrors() {
    this.watchdog();
    if (this.errors.length > this.reportedErrors) throw new PageErrorsError(this.errors.slice(this.reportedErrors));
  }

  // The newest live, attached page target, or undefined.
  get current() {
    let best;
    for (const target of this.targets.values()) {
      if (!target.gone && target.attached && (!best || target.order > best.order)) best = target;
    }
    return best;
  }

  get url() {
    return this.current && this.current.url;
  }

  get targetId() {
    return this.current && this.current.targetId;
  }

  // Waits for a live page target that satisfies accept(target); returns it.
  waitForTarget(accept = () => true, { timeoutMs = this.timeoutMs, what = 'a page target' } = {}) {
    return waitUntil(() => {
      this.throwIfErrors();
      const target = this.current;
      return target && accept(target) ? target : undefined;
    }, { timeoutMs, what });
  }

  async send(method, params = {}, { timeoutMs = this.timeoutMs } = {}) {
    const target = await this.waitForTarget(() => true, { timeoutMs });
    return this.connection.send(method, params, target.sessionId, timeoutMs);
  }

  // Runs code in the page (an expression, or a function with JSON arguments) and returns its
  // value; a promise is awaited. Throws EvaluationError when the page code throws and
  // TargetGoneError when the page dies meanwhile.
  async evaluate(code, ...args) {
    const result = await this.send('Runtime.evaluate', {
      expression: toExpression(code, args),
      returnByValue: true,
      awaitPromise: true,
      userGesture: true,
    });
    if (result.exceptionDetails) throw new EvaluationError(describeException(result.exceptionDetails));
    return result.result.value;
  }

  // Evaluates a predicate until it gives a truthy value, which is returned. A predicate that
  // throws or a page that is being replaced counts as "not yet"; a page error ends the wait.
  waitFor(predicate, { timeoutMs = this.timeoutMs, intervalMs = 100, what } = {}) {
    const expression = toExpression(predicate, []);
    return waitUntil(async () => {
      this.throwIfErrors();
      return (await this.evaluate(expression)) || undefined;
    }, { timeoutMs, intervalMs, what: what || `page condition ${expression}` });
  }

  // Waits until the element is shown and its visible text contains text; returns that text.
  waitForText(selector, text, { timeoutMs = this.timeoutMs } = {}) {
    return this.waitFor(toExpression((sel, wanted) => {
      const element = document.querySelector(sel);
      if (!element || element.getClientRects().length === 0) return undefined;
      if (getComputedStyle(element).visibility === 'hidden') return undefined;
      return element.innerText.includes(wanted) ? element.innerText : undefined;
    }, [selector, text]), { timeoutMs, what: `"${text}" in ${selector}` });
  }

  // A real mouse click in the middle of the element, as a user makes it.
  async click(selector, { timeoutMs = this.timeoutMs } = {}) {
    const point = await this.waitFor(toExpression((sel) => {
      const element = document.querySelector(sel);
      if (!element) return undefined;
      element.scrollIntoView({ block: 'center', inline: 'center' });
      const box = element.getBoundingClientRect();
      if (box.width === 0 || box.height === 0 || getComputedStyle(element).visibility === 'hidden') return undefined;
      return { x: box.left + box.width / 2, y: box.top + box.height / 2 };
    }, [selector]), { timeoutMs, what: `a visible ${selector} to click` });
    const mouse = { x: point.x, y: point.y, button: 'left', clickCount: 1 };
    await this.send('Input.dispatchMouseEvent', { type: 'mouseMoved', x: point.x, y: point.y });
    await this.send('Input.dispatchMouseEvent', { type: 'mousePressed', ...mouse });
    await this.send('Input.dispatchMouseEvent', { type: 'mouseReleased', ...mouse });
  }

  // Chooses an option of a <select> as the user does: the value changes, then input and change
  // events bubble.
  async select(selector, value, { timeoutMs = this.timeoutMs } = {}) {
    await this.waitFor(toExpression((sel, wanted) => {
      const element = document.querySelector(sel);
      if (!element || ![...element.options].some((option) => option.value === wanted)) return false;
      element.value = wanted;
      element.dispatchEvent(new Event('input', { bubbles: true }));
      element.dispatchEvent(new Event('change', { bubbles: true }));
      return true;
    }, [selector, value]), { timeoutMs, what: `option "${value}" of ${selector}` });
  }

  async screenshot(name, { timeoutMs = this.timeoutMs } = {}) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' }, { timeoutMs });
    fs.mkdirSync(this.artifactsDir, { recursive: true });
    const file = path.join(this.artifactsDir, `${name.replace(/[^A-Za-z0-9_.-]+/g, '-')}.png`);
    fs.writeFileSync(file, Buffer.from(data, 'base64'));
    return file;
  }

  detach() {
    this.connection.off('event', this.onEvent);
  }
}

module.exports = { PageClient, EvaluationError, PageErrorsError, formatPageErrors };
