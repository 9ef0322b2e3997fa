'use strict';
// One WebSocket to the web engine's browser-level DevTools endpoint, carrying the sessions of
// every page target (flat sessions: each message names its sessionId). Calls on a session fail
// with a TargetGoneError as soon as the target crashes or is detached, so that nothing waits for
// an answer that a dead renderer will never give.
const { EventEmitter } = require('node:events');
const WebSocket = require('ws');

class TargetGoneError extends Error {
  constructor(message) {
    super(message);
    this.name = 'TargetGoneError';
  }
}

class CdpConnection extends EventEmitter {
  static async connect(url, timeoutMs = 10000) {
    const socket = new WebSocket(url, { perMessageDeflate: false, maxPayload: 256 * 1024 * 1024 });
    await new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        socket.terminate();
        reject(new Error(`no DevTools connection to ${url} within ${timeoutMs} ms`));
      }, timeoutMs);
      socket.once('open', () => { clearTimeout(timer); resolve(); });
      socket.once('error', (error) => { clearTimeout(timer); reject(error); });
    });
    return new CdpConnection(socket);
  }

  constructor(socket) {
    super();
    this.socket = socket;
    this.nextId = 1;
    this.pending = new Map(); // id -> { resolve, reject, sessionId, method }
    this.closed = false;
    socket.on('message', (data) => this.receive(JSON.parse(data.toString('utf8'))));
    socket.on('close', () => this.shutDown('the DevTools connection closed'));
    socket.on('error', (error) => this.shutDown(`the DevTools connection failed: ${error.message}`));
  }

  send(method, params = {}, sessionId = undefined, timeoutMs = 30000) {
    if (this.closed) return Promise.reject(new TargetGoneError(`${method}: connection closed`));
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        this.pending.delete(id);
        reject(new Error(`${method}: no answer within ${timeoutMs} ms`));
      }, timeoutMs);
      this.pending.set(id, {
        sessionId,
        method,
        resolve: (value) => { clearTimeout(timer); resolve(value); },
        reject: (error) => { clearTimeout(timer); reject(error); },
      });
      this.socket.send(JSON.stringify({ id, method, params, sessionId }));
    });
  }

  receive(message) {
    if (message.id !== undefined) {
      const call = this.pending.get(message.id);
      if (!call) return;
      this.pending.delete(message.id);
      if (message.error) {
        call.reject(new Error(`${call.method}: ${message.error.message} ${message.error.data || ''}`));
      } else {
        call.resolve(message.result);
      }
      return;
    }
    const { method, params, sessionId } = message;
    if (method === 'Target.detachedFromTarget') {
      this.failSession(params.sessionId, 'the page target went away');
    } else if (method === 'Inspector.targetCrashed') {
      this.failSession(sessionId, 'the page\'s render process crashed');
    }
    this.emit('event', method, params, sessionId);
  }

  failSession(sessionId, reason) {
    for (const [id, call] of this.pending) {
      if (call.sessionId === sessionId) {
        this.pending.delete(id);
        call.reject(new TargetGoneError(`${call.method}: ${reason}`));
      }
    }
  }

  shutDown(reason) {
    if (this.closed) return;
    this.closed = true;
    for (const call of this.pending.values()) call.reject(new TargetGoneError(`${call.method}: ${reason}`));
    this.pending.clear();
    this.emit('closed', reason);
  }

  close() {
    this.shutDown('closed by the harness');
    this.socket.terminate();
  }
}

module.exports = { CdpConnection, TargetGoneError };
