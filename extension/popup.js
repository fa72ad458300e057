"use strict";
// The button's popup: the last failure, where no desktop notice could show it.
const api = globalThis.browser ?? globalThis.chrome;

api.storage.local.get("lastFailure").then(({ lastFailure }) => {
  if (lastFailure) {
    document.getElementById("text").textContent = lastFailure;
    api.storage.local.remove("lastFailure");
    api.action.setBadgeText({ text: "" });
    api.action.setTitle({ title: "Download with Tandu" });
  }
});
document.getElementById("options").addEventListener("click", (event) => {
  event.preventDefault();
  api.runtime.openOptionsPage();
});
