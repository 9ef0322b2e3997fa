'use strict';
// One application under test with everything it needs: private XDG folders and port directory,
// an X server, the simulated units and the varen-diagnostics process with its DevTools endpoint.
// The folders, display and units stay for restart(); dispose() stops everything and is safe to
// call at any point, also after a failed start.
const fs = require('node:fs');
const path = require('node:path');
const { Bridge } = require('./bridge');
const { CdpConnection, TargetGoneError } = require('./cdpconnection');
const { ManagedProcess } = require('./managedprocess');
const { PageClient } = require('./pageclient');
const { Sandbox } = require('./sandbox');
const { SimulatedUnit } = require('./simulatedunit');
const { VirtualDisplay } = require('./virtualdisplay');
const { fetchJson, freeLoopbackPort } = require('./network');
const { waitUntil } = require('./waiting');
const procfs = require('./procfs');

const defaultArtifactsRoot = path.resolve(__dirname, '..', '..', '..', 'build', 'e2e-artifacts');

function artifactsRoot() {
  return process.env.VAREN_E2E_ARTIFACTS || defaultArtifactsRoot;
}

// Artefacts of one launch: <root>/<test file>/<launch number>-<time>/.
function newArtifactsDir(counter) {
  const testFile = path.basename(process.argv[1] || 'e2e').replace(/\.test\.js$|\.js$/, '');
  const stamp = new Date().toISOString().replace(/[:.]/g, '-');
  const dir = path.join(artifactsRoot(), testFile, `${counter}-${stamp}`);
  fs.mkdirSync(dir, { recursive: true });
  return dir;
}

let launches = 0;

class Application {
  constructor(options = {}) {
    this.options = { units: [], env: {}, startTimeoutMs: 90000, closeTimeoutMs: 60000, ...options };
    this.artifactsDir = newArtifactsDir(++launches);
    this.units = [];
    this.starts = 0;
    this.leftoverErrors = []; // from the pages of earlier starts, not yet handed over
  }

  static program() {
    const program = process.env.VAREN_APP;
    if (!program) throw new Error('VAREN_APP must name the varen-diagnostics program');
    return program;
  }

  async start() {
    Application.program();
    this.sandbox = new Sandbox();
    this.writeDialogScript(this.options.dialogScript || []);
    this.display = await VirtualDisplay.start({ logFile: this.artifact('xvfb.log') });
    for (const unit of this.options.units) await this.addUnit(unit);
    await this.startProcess();
  }

  artifact(name) {
    return path.join(this.artifactsDir, name);
  }

  async addUnit({ board = 'qmr', com, args = [] }) {
    const unit = await SimulatedUnit.start({
      board, com, args,
      portDir: this.sandbox.portDir,
      env: { ...process.env, ...this.sandbox.env() },
      logFile: this.artifact(`unitsim-COM${com}.log`),
    });
    this.units.push(unit);
    return unit;
  }

  unit(com) {
    return this.units.find((unit) => unit.com === com);
  }

  // The dialog seam (VAREN_DIALOG_SCRIPT): every dialog of the application takes its answer from
  // this file, one "<kind> <value>" line per dialog in order ("project cancel", "confirm yes",
  // "save /abs/path.vdp"...), and records its question in "<file>.asked". The seam is always on,
  // with an empty script unless the test gives one, so an unexpected dialog is answered like a
  // cancel and shows in the record instead of blocking the application.
  get dialogScriptPath() {
    return path.join(this.sandbox.root, 'dialog-script.txt');
  }

  writeDialogScript(answers) {
    fs.writeFileSync(this.dialogScriptPath, answers.map((answer) => `${answer}\n`).join(''));
  }

  // The application reads the script at every question, so answers may be added while it runs.
  appendDialogAnswers(answers) {
    fs.appendFileSync(this.dialogScriptPath, answers.map((answer) => `${answer}\n`).join(''));
  }

  // The questions put so far: { kind, title, text, detail, answer } each; answer is the scripted
  // value, "!unanswered" or "!mismatch <line>".
  dialogsAsked() {
    const file = `${this.dialogScriptPath}.asked`;
    if (!fs.existsSync(file)) return [];
    const unescape = (field) => field.replace(/\\(.)/g, (match, code) => ({ t: '\t', r: '\r', n: '\n' }[code] || code));
    return fs.readFileSync(file, 'utf8').split('\n').filter((line) => line.length > 0).map((line) => {
      const [kind, title, text, detail, answer] = line.split('\t').map(unescape);
      return { kind, title, text, detail, answer };
    });
  }

  environment(debugPort) {
    const env = {
      ...process.env,
      ...this.sandbox.env(),
      DISPLAY: this.display.display,
      QT_QPA_PLATFORM: 'xcb',
      QTWEBENGINE_DISABLE_SANDBOX: '1', // the engine's sandbox cannot run as root
      QTWEBENGINE_REMOTE_DEBUGGING: `127.0.0.1:${debugPort}`,
      QT_LOGGING_RULES: 'varen.*.debug=true', // the application's log is an artefact
      VAREN_DIALOG_SCRIPT: this.dialogScriptPath,
      ...this.options.env,
    };
    delete env.WAYLAND_DISPLAY;
    return env;
  }

  async startProcess() {
    const debugPort = await freeLoopbackPort();
    this.starts += 1;
    this.startedAt = process.hrtime.bigint();
    this.process = new ManagedProcess('varen-diagnostics', Application.program(), this.options.args || [], {
      env: this.environment(debugPort),
      logFile: this.artifact(`app-${this.starts}.log`),
    });
    await this.process.spawned;
    const endpoint = `http://127.0.0.1:${debugPort}`;
    const version = await waitUntil(async () => {
      if (!this.process.isRunning()) {
        const error = new Error(`varen-diagnostics exited (${JSON.stringify(this.process.exitStatus)}) ` +
          `before its DevTools endpoint answered; its last output:\n${this.process.tail()}`);
        error.fatal = true;
        throw error;
      }
      return fetchJson(`${endpoint}/json/version`);
    }, { timeoutMs: this.options.startTimeoutMs, intervalMs: 200, what: `the DevTools endpoint ${endpoint}` });
    this.connection = await CdpConnection.connect(version.webSocketDebuggerUrl);
    const app = this.process;
    this.page = new PageClient(this.connection, {
      artifactsDir: this.artifactsDir,
      watchdog: () => {
        if (app.isRunning()) return;
        const error = new Error(`varen-diagnostics has exited (${JSON.stringify(app.exitStatus)}); ` +
          `its last output:\n${app.tail()}`);
        error.fatal = true;
        throw error;
      },
    });
    this.bridge = new Bridge(this.page);
    await this.page.start();
    await this.page.waitForTarget((target) => target.url.startsWith('qrc:'), {
      timeoutMs: this.options.startTimeoutMs, what: 'the application\'s first page',
    });
  }

  isRunning() {
    return Boolean(this.process && this.process.isRunning());
  }

  // Asks the window to close as a page does (qtobj.exit_application), which runs the closing
  // sequence with its project save; SIGTERM when no page can ask. Waits for the exit, bounded,
  // then kills. Returns how it ended.
  async close({ timeoutMs = this.options.closeTimeoutMs } = {}) {
    if (!this.isRunning()) return this.finishProcess('not running');
    let how = 'exit_application';
    try {
      await this.bridge.send('exit_application');
    } catch (error) {
      // A page that vanishes while the call is answered was most likely closed by the call.
      if (!(error instanceof TargetGoneError)) {
        how = 'SIGTERM';
        process.kill(this.process.pid, 'SIGTERM');
      }
    }
    if (!(await this.process.waitForExit(timeoutMs))) {
      await this.process.stop(5000);
      return this.finishProcess(`${how}, then killed after ${timeoutMs} ms`);
    }
    return this.finishProcess(how);
  }

  async kill() {
    if (this.process) await this.process.kill();
    return this.finishProcess('killed');
  }

  // Page errors not yet handed to the test runner, across restarts.
  takeNewErrors() {
    const errors = [...this.leftoverErrors, ...(this.page ? this.page.takeNewErrors() : [])];
    this.leftoverErrors = [];
    return errors;
  }

  async finishProcess(how) {
    if (this.process) await this.process.closeLog();
    if (this.page) {
      this.page.detach();
      this.leftoverErrors.push(...this.page.takeNewErrors());
    }
    if (this.connection) this.connection.close();
    return { how, ...(this.process ? this.process.exitStatus : {}) };
  }

  // Closes and starts again with the same folders, display and units.
  async restart() {
    const closed = await this.close();
    await this.startProcess();
    return closed;
  }

  // Kills the page's render process (a QtWebEngineProcess below the application). The DevTools
  // endpoint names the renderer; /proc confirms that it is ours.
  async killRenderProcess() {
    const helpers = procfs.webEngineHelpers(this.process.pid);
    const helperPids = new Set(helpers.map((helper) => helper.pid));
    let renderers = [];
    try {
      const { processInfo } = await this.connection.send('SystemInfo.getProcessInfo');
      renderers = processInfo.filter((info) => info.type === 'renderer' && helperPids.has(info.id)).map((info) => info.id);
    } catch {
      // Older engines: a renderer is a helper forked by another helper (the zygote).
      renderers = helpers.filter((helper) => helperPids.has(helper.parent)).map((helper) => helper.pid);
    }
    if (renderers.length === 0) throw new Error(`no render process found below ${this.process.pid}`);
    for (const pid of renderers) {
      this.page.expectCrash();
      process.kill(pid, 'SIGKILL');
    }
    return renderers;
  }

  // Memory in KiB of the application and of each web engine helper: resident (VmRSS) and
  // proportional (PSS). The totals cover the processes still running.
  memory() {
    const measure = (pid) => ({ pid, rss: procfs.residentKiB(pid), pss: procfs.proportionalKiB(pid) });
    const app = measure(this.process.pid);
    const helpers = procfs.webEngineHelpers(this.process.pid).map((helper) => measure(helper.pid))
      .filter((helper) => helper.rss !== null);
    const sum = (key) => [app, ...helpers].reduce((total, entry) => total + (entry[key] || 0), 0);
    return { app, helpers, totalRss: sum('rss'), totalPss: sum('pss') };
  }

  // Files the application wrote below its data folder (XDG_DATA_HOME), e.g. "default.vdp".
  dataFiles(name) {
    return this.sandbox.find(this.sandbox.dataHome, name);
  }

  async dispose() {
    if (this.disposed) return;
    this.disposed = true;
    if (this.process) await this.kill();
    for (const unit of this.units) await unit.stop();
    if (this.display) await this.display.stop();
    if (this.sandbox) this.sandbox.remove();
  }
}

module.exports = { Application };
