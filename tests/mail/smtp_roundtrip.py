#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""canasta-mail against a real SMTP server on 127.0.0.1, read back with Python's email parser.

Usage: smtp_roundtrip.py CANASTA_MAIL [--sink auto|smtpd|builtin]

The server is Python's stock smtpd where the interpreter still has it, else a
small SMTP sink written here; "builtin" forces the sink. The message carries
UTF-8 in the subject, names and body, a 3,000-byte line, body lines equal to
the classic part boundary, a binary attachment with NUL bytes and display
names with CR LF and commas. Everything must come back exactly.
"""
import email
import email.policy
import os
import socket
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import warnings

CLASSIC_BOUNDARY = "==============ghyurgtfy573======___"


class Received:
    def __init__(self):
        self.done = threading.Event()
        self.mailfrom = None
        self.rcpttos = []
        self.data = b""
        self.raw_lines = []  # every line the client sent, as it came


def start_smtpd(received):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)
        import asyncore
        import smtpd

    class Server(smtpd.SMTPServer):
        def process_message(self, peer, mailfrom, rcpttos, data, **kwargs):
            received.mailfrom = mailfrom
            received.rcpttos = list(rcpttos)
            received.data = data
            received.done.set()

    server = Server(("127.0.0.1", 0), None, decode_data=False)
    port = server.socket.getsockname()[1]

    def loop():
        deadline = time.monotonic() + 90
        while not received.done.is_set() and time.monotonic() < deadline:
            asyncore.loop(timeout=0.1, count=1)
        # Let the QUIT exchange finish.
        end = time.monotonic() + 2
        while time.monotonic() < end:
            asyncore.loop(timeout=0.1, count=1)
        server.close()

    thread = threading.Thread(target=loop, daemon=True)
    thread.start()
    return port, thread


def start_sink(received):
    """A minimal SMTP server: HELO/EHLO, MAIL, RCPT, DATA, QUIT, RSET, NOOP."""

    class Handler(socketserver.StreamRequestHandler):
        def reply(self, text):
            self.wfile.write(text.encode("ascii") + b"\r\n")
            self.wfile.flush()

        def handle(self):
            self.reply("220 sink ready")
            while True:
                line = self.rfile.readline(100000)
                if not line:
                    return
                received.raw_lines.append(line)
                command = line.rstrip(b"\r\n")
                verb = command[:4].upper()
                if verb in (b"HELO", b"EHLO"):
                    self.reply("250 sink")
                elif verb == b"MAIL":
                    received.mailfrom = command.split(b":", 1)[1].strip().strip(b"<>").decode("ascii")
                    self.reply("250 ok")
                elif verb == b"RCPT":
                    received.rcpttos.append(command.split(b":", 1)[1].strip().strip(b"<>").decode("ascii"))
                    self.reply("250 ok")
                elif verb == b"DATA":
                    self.reply("354 end with <CRLF>.<CRLF>")
                    lines = []
                    while True:
                        data_line = self.rfile.readline(100000)
                        if not data_line:
                            return
                        received.raw_lines.append(data_line)
                        if data_line == b".\r\n":
                            break
                        if data_line.startswith(b"."):
                            data_line = data_line[1:]
                        lines.append(data_line)
                    received.data = b"".join(lines)
                    self.reply("250 queued")
                    received.done.set()
                elif verb == b"QUIT":
                    self.reply("221 bye")
                    return
                elif verb in (b"RSET", b"NOOP"):
                    self.reply("250 ok")
                else:
                    self.reply("500 what")

    server = socketserver.TCPServer(("127.0.0.1", 0), Handler)
    port = server.server_address[1]
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
    thread.start()

    def stop():
        received.done.wait(90)
        time.sleep(0.5)
        server.shutdown()
        server.server_close()

    stopper = threading.Thread(target=stop, daemon=True)
    stopper.start()
    return port, stopper


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    tool = sys.argv[1]
    sink = "auto"
    if len(sys.argv) >= 4 and sys.argv[2] == "--sink":
        sink = sys.argv[3]
    if sink == "auto":
        try:
            with warnings.catch_warnings():
                warnings.simplefilter("ignore", DeprecationWarning)
                import smtpd  # noqa: F401
            sink = "smtpd"
        except ImportError:
            sink = "builtin"
    print(f"server: {sink}")

    failures = []
    passed = 0

    def check(what, ok, detail=""):
        nonlocal passed
        if ok:
            passed += 1
            print(f"ok: {what}")
        else:
            failures.append(what)
            print(f"FAILED: {what} {detail}")

    def send(args, body):
        """Runs canasta-mail against a fresh server; returns what the server got, or None."""
        received = Received()
        port, thread = start_smtpd(received) if sink == "smtpd" else start_sink(received)
        try:
            run = subprocess.run([tool, "--server", "127.0.0.1", "--port", str(port)] + args,
                                 input=body.encode("utf-8"), capture_output=True, timeout=60)
        except subprocess.TimeoutExpired:
            check("canasta-mail finishes within 60 s", False)
            return None
        check("canasta-mail exits 0", run.returncode == 0, run.stderr.decode("utf-8", "replace"))
        received.done.wait(10)
        thread.join(5)
        check("the server got a message", received.done.is_set())
        return received if received.done.is_set() else None

    def check_wire(received):
        data = received.data
        lines = data.replace(b"\r\n", b"\n").split(b"\n")
        check("every message line fits in 998 bytes", all(len(line) <= 998 for line in lines),
              str(max(len(line) for line in lines)))
        check("the message is 7-bit", all(b < 128 for b in data))
        for raw in received.raw_lines:
            if len(raw) > 1000 or any(b >= 128 for b in raw):
                check("every wire line is 7-bit and at most 1000 bytes", False, repr(raw[:80]))
                break

    sender = "me@example.org"
    sender_name = "Eve\r\nBcc: evil@example.net, Doe"
    to_addr, to_name = "to@example.org", "Doe, John <evil@example.net>"
    cc_addr, cc_name = "cc@example.org", "Łukasz Żółw\r\nX-Injected: yes"
    subject = "Zażółć gęślą jaźń — Grüße " + "and a long subject that has to be folded " * 3 + "✓"
    long_line = "".join(chr(ord("a") + i % 26) for i in range(3000))
    body = (
        "Grüße aus Łódź ✓ Привет\n"
        + long_line + "\n"
        + "--" + CLASSIC_BOUNDARY + "\n"
        + "--" + CLASSIC_BOUNDARY + "--\n"
        + ".a line with a leading dot\n"
        + "last line\n"
    )
    binary = bytes([0, 1, 2, 0, 0, 13, 10, 65, 66, 0, 127, 9]) * 50 + bytes(range(256))
    texty = b"plain 7-bit text\x00with a NUL\nand more\n"

    with tempfile.TemporaryDirectory() as tmp:
        bin_path = os.path.join(tmp, "data.bin")
        with open(bin_path, "wb") as f:
            f.write(binary)
        odd_name = 'q"uote; name=evil.exe żółw.txt'
        odd_path = os.path.join(tmp, odd_name)
        with open(odd_path, "wb") as f:
            f.write(texty)

        # An address that cannot go out as it is: refused before any connection.
        listener = socket.socket()
        listener.bind(("127.0.0.1", 0))
        listener.listen(1)
        listener.settimeout(0.2)
        refused = subprocess.run([tool, "--server", "127.0.0.1", "--port", str(listener.getsockname()[1]),
                                  "--from", sender, "--to", "łukasz@example.pl"],
                                 input=b"hello\n", capture_output=True, timeout=60)
        try:
            listener.accept()
            connected = True
        except OSError:
            connected = False
        listener.close()
        check("a non-ASCII address is refused before connecting",
              refused.returncode == 1 and not connected
              and b"error 3: Invalid address specified: \xc5\x82ukasz@example.pl" in refused.stderr,
              repr((refused.returncode, connected, refused.stderr[:200])))

        # A plain ASCII body with a long line and the NUL text as its attachment.
        ascii_body = "first\n" + long_line + "\n--" + CLASSIC_BOUNDARY + "--\nend\n"
        plain = send(["--from", sender, "--to", to_addr, "--subject", "plain", "--attach", odd_path], ascii_body)
        if plain is not None:
            check_wire(plain)
            pm = email.message_from_bytes(plain.data, policy=email.policy.default)
            part = pm.get_body(preferencelist=("plain",))
            got = part.get_content().replace("\r\n", "\n") if part is not None else None
            check("ASCII body with a 3,000-byte line", got == ascii_body[:-1], repr(got[:100] if got else got))
            files = list(pm.iter_attachments())
            check("NUL text attachment bytes (ASCII message)",
                  len(files) == 1 and files[0].get_payload(decode=True) == texty)

        received = send(["--from", sender, "--from-name", sender_name, "--to", f"{to_addr}|{to_name}",
                         "--cc", f"{cc_addr}|{cc_name}", "--subject", subject,
                         "--attach", bin_path, "--attach", odd_path], body)

    if received is None:
        print(f"{passed} passed, {len(failures)} failed")
        return 1

    check_wire(received)
    check("envelope sender", received.mailfrom == sender, repr(received.mailfrom))
    check("envelope recipients", received.rcpttos == [to_addr, cc_addr], repr(received.rcpttos))

    msg = email.message_from_bytes(received.data, policy=email.policy.default)
    defects = [d for part in msg.walk() for d in part.defects]
    check("no parser defects", not defects, repr(defects))

    # Names are compared word for word: where a name needs more than one
    # encoded word, readers differ on the space between them.
    def words(name):
        return " ".join(name.split())

    def addresses(field):
        found = []
        try:
            for value in msg.get_all(field) or []:
                found += [(words(a.display_name), a.addr_spec) for a in value.addresses]
        except Exception as e:  # a header the parser cannot take is a failure too
            return f"cannot parse {field}: {e}"
        return found

    check("From holds only the sender", addresses("From") == [(words(sender_name), sender)],
          repr(addresses("From")))
    check("To holds only the recipient", addresses("To") == [(words(to_name), to_addr)], repr(addresses("To")))
    check("cc holds only the copy", addresses("Cc") == [(words(cc_name), cc_addr)],
          repr(addresses("Cc")))
    check("no Bcc or injected header", msg.get("Bcc") is None and msg.get("X-Injected") is None)
    check("subject", msg["Subject"] == subject, repr(str(msg["Subject"])))

    text_part = msg.get_body(preferencelist=("plain",))
    got_body = text_part.get_content().replace("\r\n", "\n") if text_part is not None else None
    # The tool sends standard input without its last line end; in a part the
    # line end before the next boundary belongs to the boundary.
    check("body", got_body == body[:-1], repr(got_body[:200] if got_body else got_body))

    attachments = list(msg.iter_attachments())
    check("two attachments", len(attachments) == 2, repr([a.get_filename() for a in attachments]))
    if len(attachments) == 2:
        check("binary attachment name", attachments[0].get_filename() == "data.bin")
        check("binary attachment bytes", attachments[0].get_payload(decode=True) == binary)
        check("odd file name", attachments[1].get_filename() == odd_name, repr(attachments[1].get_filename()))
        check("NUL text attachment bytes", attachments[1].get_payload(decode=True) == texty)
    boundary = msg.get_boundary()
    check("boundary occurs nowhere in the content", boundary is not None and boundary not in body
          and boundary.encode() not in binary)

    print(f"{passed} passed, {len(failures)} failed")
    return 0 if not failures else 1


if __name__ == "__main__":
    sys.exit(main())
