// Drives a headless Chromium over the DevTools protocol (its pipe transport,
// no client library needed): loads the extension, opens a page with a link
// and runs the extension's menu action for that link, as a click on
// "Download with Tandu" would. Prints the native host's answer as JSON.
// usage: node devtools.mjs EXTENSION_DIR PAGE_URL [chromium flags...]
import { spawn } from "node:child_process";

const [extension, page, ...flags] = process.argv.slice(2);
const browser = spawn(
  "chromium",
  ["--headless", "--remote-debugging-pipe", `--load-extension=${extension}`, ...flags, "about:blank"],
  { stdio: ["ignore", "ignore", "inherit", "pipe", "pipe"] },
);
const pending = new Map();
let received = Buffer.alloc(0);
let nextId = 0;
browser.stdio[4].on("data", (data) => {
  received = Buffer.concat([received, data]);
  for (let end; (end = received.indexOf(0)) >= 0; received = received.subarray(end + 1)) {
    const message = JSON.parse(received.subarray(0, end).toString());
    pending.get(message.id)?.(message);
  }
});
function send(method, params = {}, sessionId = undefined) {
  return new Promise((resolve, reject) => {
    const id = ++nextId;
    pending.set(id, (m) => (m.error ? reject(new Error(`${method}: ${m.error.message}`)) : resolve(m.result)));
    browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + "\0");
  });
}
// Evaluates in the target until the expression yields a value (pages and
// workers need a moment to start).
async function evaluate(sessionId, expression) {
  for (let tries = 0; ; ++tries) {
    const { result, exceptionDetails } = await send(
      "Runtime.evaluate", { expression, awaitPromise: true, returnByValue: true }, sessionId);
    if (!exceptionDetails && result.value !== undefined) return result.value;
    if (tries === 50) throw new Error(`${expression}: ${exceptionDetails?.exception?.description}`);
    await new Promise((r) => setTimeout(r, 200));
  }
}
async function attach(targetId) {
  return (await send("Target.attachToTarget", { targetId, flatten: true })).sessionId;
}

try {
  let worker;
  for (let tries = 0; !worker && tries < 75; ++tries) {
    await new Promise((r) => setTimeout(r, 200));
    const { targetInfos } = await send("Target.getTargets");
    worker = targetInfos.find((t) => t.type === "service_worker" && t.url.startsWith("chrome-extension://"));
  }
  if (!worker) throw new Error("the extension's service worker never started");
  const { targetId } = await send("Target.createTarget", { url: page });
  const link = await evaluate(await attach(targetId), 'document.querySelector("a")?.href');
  const background = await attach(worker.targetId);
  // The entry exists: updating an unknown one fails.
  await evaluate(background, 'chrome.contextMenus.update("download-with-tandu", {}).then(() => true)');
  const refused = await evaluate(background, 'sendToTandu({ linkUrl: "javascript:void 0" })');
  const answer = await evaluate(background, `sendToTandu({ linkUrl: ${JSON.stringify(link)} })`);
  console.log(JSON.stringify({ extension: new URL(worker.url).host, link, refused, answer }));
} catch (error) {
  console.error(`devtools: ${error.message}`);
  process.exitCode = 1;
} finally {
  browser.on("exit", () => process.exit());
  browser.kill();
}
