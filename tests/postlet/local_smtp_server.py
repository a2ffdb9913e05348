#!/usr/bin/python3
"""A real SMTP server for the mail tests: aiosmtpd on 127.0.0.1 with a port
the system picks, printed as "PORT <n>" once it listens. Logins are checked
against --user/--password and a wrong one is answered 535. Every message is
parsed back with the email package and summarised as <out>/<n>.json (the raw
bytes beside it as <n>.eml)."""

import argparse
import asyncio
import hashlib
import json
import logging
import os
import ssl
import sys
import warnings

from email import policy
from email.parser import BytesParser

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def offset_minutes(date):
    if date is None or date.datetime is None or date.datetime.utcoffset() is None:
        return None
    return int(date.datetime.utcoffset().total_seconds() // 60)


def summarise(raw, envelope, login):
    msg = BytesParser(policy=policy.default).parsebytes(raw)
    defects = [type(d).__name__ for part in msg.walk() for d in part.defects]
    body = None
    attachments = []
    for part in msg.walk():
        if part.is_multipart():
            continue
        if part.get_filename() is not None:
            data = part.get_payload(decode=True)
            attachments.append({"filename": part.get_filename(), "size": len(data),
                                "sha256": hashlib.sha256(data).hexdigest()})
        elif part.get_content_type() == "text/plain" and body is None:
            body = part.get_content().replace("\r\n", "\n")
    sender = msg["From"].addresses[0]
    return {
        "mail_from": envelope.mail_from,
        "rcpt_tos": envelope.rcpt_tos,
        "login": login,
        "from_name": sender.display_name,
        "from_address": sender.addr_spec,
        "to": [a.addr_spec for a in msg["To"].addresses],
        "cc": [a.addr_spec for a in msg["Cc"].addresses] if msg["Cc"] else [],
        "subject": str(msg["Subject"]),
        "date": str(msg["Date"]) if msg["Date"] else None,
        "date_utcoffset_minutes": offset_minutes(msg["Date"]),
        "x_mailer": str(msg["X-Mailer"]) if msg["X-Mailer"] else None,
        "content_type": msg.get_content_type(),
        "is_multipart": msg.is_multipart(),
        "body": body,
        "attachments": attachments,
        "defects": defects,
    }


class Handler:
    def __init__(self, out, summaries):
        self.out = out
        self.summaries = summaries
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.out, str(self.count))
        raw = envelope.original_content or envelope.content
        with open(base + ".eml", "wb") as f:
            f.write(raw)
        if not self.summaries:
            return "250 OK"
        summary = summarise(raw, envelope, session.auth_data)
        with open(base + ".json.tmp", "w") as f:
            json.dump(summary, f)
        os.rename(base + ".json.tmp", base + ".json")
        return "250 OK"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", required=True)
    parser.add_argument("--user", default="bench")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--tls", choices=["none", "starttls", "implicit"], default="none")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--no-login", action="store_true", help="offer AUTH PLAIN only")
    parser.add_argument("--raw-only", action="store_true", help="keep the bytes, parse nothing (for timing)")
    args = parser.parse_args()
    warnings.simplefilter("ignore")  # AUTH without TLS is what the plain tests want
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)  # refused handshakes are expected

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        # handled=False makes the server answer 535 itself on a failure.
        return AuthResult(success=ok, handled=False, auth_data=auth_data.login.decode() if ok else None)

    context = None
    if args.tls != "none":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    handler = Handler(args.out, not args.raw_only)

    def factory():
        return SMTP(handler,
                    hostname="test.local",
                    authenticator=authenticate,
                    auth_required=True,
                    auth_require_tls=False,
                    auth_exclude_mechanism=["LOGIN"] if args.no_login else None,
                    tls_context=context if args.tls == "starttls" else None,
                    require_starttls=args.tls == "starttls",
                    data_size_limit=64 * 1024 * 1024)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(
        loop.create_server(factory, "127.0.0.1", 0, ssl=context if args.tls == "implicit" else None))
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    # Ends when the test closes our input.
    loop.add_reader(sys.stdin.fileno(), lambda: sys.stdin.buffer.read1(1024) or loop.stop())
    loop.run_forever()


if __name__ == "__main__":
    main()
