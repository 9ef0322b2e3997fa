// Start page of a K57-QMR module: the board's connection status, the port choice and a
// one-page register read through the host bridge (qtobj).
"use strict";

(function () {
  // EBoardStatus 0..4: what the user reads and the lamp's status class.
  var BOARD_STATES = [
    { text: "No board", lamp: "off" },
    { text: "Connecting...", lamp: "partial" },
    { text: "Connected", lamp: "good" },
    { text: "Connection lost", lamp: "error" },
    { text: "Board unavailable", lamp: "error" }
  ];
  var BOARD_CONNECTED = 2;
  // EPortStatus 0..4.
  var PORT_STATES = ["unknown", "open", "closed", "invalid", "updating"];
  var READ_COMMAND = "v 42 00 0100\r\n";

  var qtobj = null;

  function byId(id) {
    return document.getElementById(id);
  }

  function showInfo(message) {
    byId("info-msg").textContent = message;
  }

  function showBoardStatus(status) {
    var state = BOARD_STATES[status] || BOARD_STATES[0];
    byId("board-status").textContent = state.text;
    byId("board-lamp").className = "lamp status " + state.lamp;
    // "Attempting Connection..." and the like are over once the board answers.
    if (status === BOARD_CONNECTED) {
      showInfo("");
    }
  }

  function showPortStatus(status, portName) {
    var text = PORT_STATES[status] || PORT_STATES[0];
    byId("port-status").textContent = portName ? portName + ": " + text : text;
  }

  function showPorts(jsonText) {
    var info;
    try {
      info = JSON.parse(jsonText);
    } catch (error) {
      showInfo("Unreadable port list");
      return;
    }
    var select = byId("port-select");
    select.textContent = "";
    (info.ports || []).forEach(function (name) {
      var option = document.createElement("option");
      option.value = name;
      option.textContent = name;
      select.appendChild(option);
    });
    select.value = info.selected;
    select.disabled = select.options.length === 0;
  }

  function showReply(text) {
    byId("reply").textContent = text;
  }

  function readPage() {
    byId("reply").textContent = "Waiting for the unit...";
    qtobj.exec(READ_COMMAND);
  }

  function selectPort() {
    qtobj.update_port_selection(byId("port-select").value);
  }

  function onChannel(channel) {
    qtobj = channel.objects.qtobj;
    qtobj.board_status.connect(showBoardStatus);
    qtobj.port_status.connect(showPortStatus);
    qtobj.ports_updated.connect(showPorts);
    qtobj.replyrecvd.connect(showReply);
    qtobj.info_msg.connect(showInfo);
    byId("port-select").addEventListener("change", selectPort);
    byId("read-page").addEventListener("click", readPage);
    byId("read-page").disabled = false;
  }

  // Connect at once: the host tells a freshly loaded page its state right after loading, and
  // only signals the page has connected to reach it.
  if (typeof QWebChannel === "function" && typeof qt === "object") {
    new QWebChannel(qt.webChannelTransport, onChannel);
  } else {
    showInfo("The host bridge is not available.");
  }
})();
