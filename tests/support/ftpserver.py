#!/usr/bin/env python3
"""A throw-away FTP (or FTPS, explicit TLS) server on 127.0.0.1 for download tests.

Prints "port N" once it listens, serves DIR read-only to USER/PASSWORD, logs every command it
receives to standard error, runs until killed."""
import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.log import config_logging
from pyftpdlib.servers import FTPServer

parser = argparse.ArgumentParser()
parser.add_argument("--dir", required=True)
parser.add_argument("--user", required=True)
parser.add_argument("--password", required=True)
parser.add_argument("--cert", help="PEM file with certificate and key: FTP over explicit TLS")
parser.add_argument("--port", type=int, default=0)
args = parser.parse_args()
config_logging(level=logging.DEBUG)

authorizer = DummyAuthorizer()
authorizer.add_user(args.user, args.password, args.dir, perm="elr")
if args.cert:
    from OpenSSL import SSL

    class DataHandler(TLS_DTPHandler):
        # pyftpdlib drops a data connection that is readable before the transfer command, which
        # is always so when the client starts TLS on it at once (as curl does): wait instead.
        def readable(self):
            if self._ssl_accepting or self._ssl_want_read:
                return True
            return super().readable()

    handler = TLS_FTPHandler
    handler.dtp_handler = DataHandler
    context = SSL.Context(SSL.SSLv23_METHOD)
    context.use_certificate_chain_file(args.cert)
    context.use_privatekey_file(args.cert)
    # Clients resume the control connection's TLS session on the data connection, as servers
    # such as vsftpd demand; that needs a session id context.
    context.set_session_id(b"velmora-tests")
    handler.ssl_context = context
    handler.tls_control_required = True
    handler.tls_data_required = True
else:
    handler = FTPHandler
handler.authorizer = authorizer
handler.passive_ports = None
handler.log_prefix = ""

server = FTPServer(("127.0.0.1", args.port), handler)
print("port", server.address[1], flush=True)
sys.stdout.flush()
server.serve_forever(handle_exit=True)
