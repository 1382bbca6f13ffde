#!/usr/bin/env python3
"""A throw-away HTTPS server on 127.0.0.1 for download tests.

Prints "port N" once it listens, serves DIR read-only with the certificate and key in CERT (one
PEM file), logs every request it reads to standard error, runs until killed."""
import argparse
import functools
import http.server
import ssl
import sys

parser = argparse.ArgumentParser()
parser.add_argument("--dir", required=True)
parser.add_argument("--cert", required=True)
parser.add_argument("--port", type=int, default=0)
args = parser.parse_args()


class Server(http.server.HTTPServer):
    allow_reuse_address = True

    # A client that refuses the certificate ends the handshake; that is no reason to stop.
    def handle_error(self, request, client_address):
        print("handshake ended by", client_address, file=sys.stderr, flush=True)


context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(args.cert)
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=args.dir)
server = Server(("127.0.0.1", args.port), handler, bind_and_activate=False)
server.server_bind()
server.server_activate()
server.socket = context.wrap_socket(server.socket, server_side=True)
print("port", server.server_address[1], flush=True)
server.serve_forever()
