#!/usr/bin/env node
'use strict';
// End-to-end figures of the real application against a simulated K57-QMR unit:
//   - start-up: from the process start to the DevTools page, to the page's qtobj, and to the
//     page's board_status 2 when the port is chosen the moment the page can choose it;
//   - polling: replies per second while the module polls its default list;
//   - memory: resident memory (VmRSS, and PSS, which counts shared pages once) of the
//     application and its QtWebEngineProcess helpers after the polling period.
// Prints figures and never fails: a benchmark informs, it does not gate.
//
//   VAREN_APP=build/app/varen-diagnostics VAREN_UNITSIM=build/tools/unitsim/varen-unitsim \
//     NODE_PATH=build/tests/e2e/node-packages/node_modules node bench/e2e/startup.js
// VAREN_BENCH_POLL_SECONDS changes the polling period (default 60), VAREN_BENCH_BAUD the
// simulated line rate (default 115200, as a real unit).
const path = require('node:path');

const harness = path.join(__dirname, '..', '..', 'tests', 'e2e', 'harness');
const { Application } = require(path.join(harness, 'application'));
const { sleep } = require(path.join(harness, 'waiting'));

const COM = 1;
const pollSeconds = Number(process.env.VAREN_BENCH_POLL_SECONDS || 60);
const baud = process.env.VAREN_BENCH_BAUD || '115200';

const msSince = (start) => Number(process.hrtime.bigint() - start) / 1e6;
const mib = (kib) => (kib / 1024).toFixed(1);

async function measure(app) {
  await app.start();
  const started = app.startedAt;
  const pageMs = msSince(started);
  await app.bridge.ready();
  const bridgeMs = msSince(started);
  await app.bridge.choosePort(`COM${COM}`);
  const connectedMs = msSince(started);
  console.log('start-up (from process start)');
  console.log(`  first page target         ${pageMs.toFixed(0)} ms`);
  console.log(`  page's qtobj reachable    ${bridgeMs.toFixed(0)} ms`);
  console.log(`  board_status 2 on page    ${connectedMs.toFixed(0)} ms`);

  // An empty list makes the module poll its default list; the page's own traffic is silenced
  // so that the figure belongs to the host alone.
  await app.bridge.takeOver();
  const since = await app.bridge.mark();
  const pollStart = process.hrtime.bigint();
  await app.bridge.call('start_data_refresh', '');
  await sleep(pollSeconds * 1000);
  const replies = await app.bridge.count('replyrecvd', { since });
  const seconds = msSince(pollStart) / 1000;
  const memory = app.memory();
  await app.bridge.call('stop_data_refresh');
  console.log(`polling (${seconds.toFixed(0)} s, unit at ${baud} baud)`);
  console.log(`  replies                   ${replies} (${(replies / seconds).toFixed(1)} per second)`);
  console.log('memory after polling                 VmRSS       PSS');
  const row = (label, entry) => console.log(`  ${label.padEnd(30)} ${mib(entry.rss).padStart(7)} MiB ${mib(entry.pss || 0).padStart(7)} MiB`);
  row('varen-diagnostics', memory.app);
  for (const helper of memory.helpers) row(`QtWebEngineProcess ${helper.pid}`, helper);
  row('total', { rss: memory.totalRss, pss: memory.totalPss });
}

async function main() {
  const app = new Application({ units: [{ board: 'qmr', com: COM, args: ['--baud', baud] }] });
  const stop = () => app.dispose().finally(() => process.exit(0));
  process.on('SIGINT', stop);
  process.on('SIGTERM', stop);
  try {
    await measure(app);
  } catch (error) {
    console.log(`no figures: ${error.message}`);
  } finally {
    await app.dispose();
  }
}

main().finally(() => process.exit(0));
