#!/usr/bin/env python3
"""FTP server for the version check tests, on 127.0.0.1 and a free port.

    ftp_server.py ftp ROOT USER PASSWORD [nosize]
                                           serves ROOT to one account; with "nosize" it does
                                           not tell a file's size before sending it
    ftp_server.py silent                   accepts connections and never answers

Prints "port N" once it listens, then "command LINE" for each command it receives (or
"connected" for each connection the silent server takes), so that a test can check the exchange.
"""
import socket
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def say(text):
    print(text, flush=True)


class LoggingHandler(FTPHandler):
    auth_failed_timeout = 0.1  # pyftpdlib's usual 3 s would outlast the tests' time limits
    tells_size = True

    def pre_process_command(self, line, cmd, arg):
        say("command " + line)
        if cmd == "SIZE" and not self.tells_size:
            self.respond("502 Command not implemented.")
            return
        return super().pre_process_command(line, cmd, arg)


def serve_ftp(root, user, password, *options):
    LoggingHandler.tells_size = "nosize" not in options
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elr")
    LoggingHandler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), LoggingHandler)
    say("port %d" % server.socket.getsockname()[1])
    server.serve_forever()


def serve_silent():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    say("port %d" % listener.getsockname()[1])
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)
        say("connected")


if __name__ == "__main__":
    import logging
    logging.disable(logging.CRITICAL)
    if sys.argv[1] == "ftp":
        serve_ftp(*sys.argv[2:])
    else:
        serve_silent()
