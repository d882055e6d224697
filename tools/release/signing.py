#!/usr/bin/env python3
"""Signs Windows programs with Authenticode and checks their signatures,
through Debian's osslsigncode and openssl.

Usage:
  signing.py sign --cert FILE.pfx --password-file FILE [--timestamp-url URL] PROGRAM
  signing.py verify --cert FILE.pfx --password-file FILE [--ca FILE] [--tsa-ca FILE] PROGRAM...

The certificate is a PKCS#12 file with the maker's key and certificate and
the chain that the authority delivered with it; its password is the first
line of the password file, without its line end (LF or CR LF) and without
whatever follows, for signing and checking alike.

sign signs the program in place: SHA-256, the certificate with the chain of
the PKCS#12 file embedded, an RFC 3161 time stamp when a time-stamp
authority is named. The build calls it right after a program's link
(PIXELMOOR_SIGN_COMMAND, set by tools/release.sh), so that what is packed or
shipped is signed.

verify checks that each program carries a signature of the maker's
certificate over the program as it is now, and how far its chain is
checked:
- with --ca, up to a root certificate of that file, to the end;
- without it, up to the top of the chain that the PKCS#12 file carries: to
  the end when that is a root (self-signed); otherwise (authorities deliver
  the maker's certificate with its intermediates and leave the root to the
  systems' stores) up to that intermediate, and the root beyond it is not
  checked, which the check says.
It prints one line per program that says how far.
"""

import argparse
import hashlib
import os
import subprocess
import sys
import tempfile

PEM_BEGIN = "-----BEGIN CERTIFICATE-----"
PEM_END = "-----END CERTIFICATE-----"
# The digest of the signatures, also when the file's data is read back.
DIGEST = "sha256"


class Refused(Exception):
    pass


def run(command, what):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if done.returncode != 0:
        raise Refused("%s:\n%s" % (what, done.stdout.decode("utf-8", "replace").rstrip()))
    return done.stdout


def password_bytes(path):
    """The first line of the file, without its LF or CR LF."""
    with open(path, "rb") as f:
        line = f.read().split(b"\n", 1)[0]
    return line[:-1] if line.endswith(b"\r") else line


def certificates(pem_text):
    """The PEM certificates of a text, in order."""
    found, at = [], 0
    while True:
        start = pem_text.find(PEM_BEGIN, at)
        if start < 0:
            return found
        end = pem_text.index(PEM_END, start) + len(PEM_END)
        found.append(pem_text[start:end] + "\n")
        at = end


class Workspace:
    """A private folder for the password and the certificates, removed after use."""

    def __init__(self, cert, password_file):
        self.folder = tempfile.mkdtemp(prefix="pixelmoor-signing-")  # only the user can read it
        self.cert = cert
        self.password = self.path("password")
        with open(os.open(self.password, os.O_WRONLY | os.O_CREAT, 0o600), "wb") as f:
            f.write(password_bytes(password_file))

    def path(self, name):
        return os.path.join(self.folder, name)

    def close(self):
        for name in os.listdir(self.folder):
            os.remove(self.path(name))
        os.rmdir(self.folder)

    def pkcs12(self, *options):
        """What openssl reads from the PKCS#12 file; files of older tools use legacy ciphers."""
        command = ["openssl", "pkcs12", "-in", self.cert, "-passin", "file:" + self.password, "-nokeys"]
        try:
            return run(command + list(options), "the certificate file cannot be read").decode()
        except Refused:
            return run(command + ["-legacy"] + list(options),
                       "%s cannot be read with the password's first line" % self.cert).decode()


def subject_and_issuer(pem):
    done = subprocess.run(["openssl", "x509", "-noout", "-subject", "-issuer", "-nameopt", "RFC2253"],
                          input=pem.encode(), stdout=subprocess.PIPE, check=True)
    lines = dict(line.split("=", 1) for line in done.stdout.decode().splitlines())
    return lines["subject"].strip(), lines["issuer"].strip()


def der(pem):
    return subprocess.run(["openssl", "x509", "-outform", "DER"], input=pem.encode(), stdout=subprocess.PIPE,
                          check=True).stdout


def chain_of(workspace):
    """The maker's certificate and its chain as the PKCS#12 file carries it,
    from the maker's certificate up to the top, each as (PEM, subject)."""
    own = certificates(workspace.pkcs12("-clcerts"))
    if len(own) != 1:
        raise Refused("%s holds %d certificates of its own, not one" % (workspace.cert, len(own)))
    others = [(pem,) + subject_and_issuer(pem) for pem in certificates(workspace.pkcs12("-cacerts"))]
    subject, issuer = subject_and_issuer(own[0])
    chain = [(own[0], subject, issuer)]
    while chain[-1][1] != chain[-1][2]:
        above = [c for c in others if c[1] == chain[-1][2] and c not in chain]
        if not above:
            break
        chain.append(above[0])
    return chain


# ---- The signature's content and the program's data, as DER. ----

def _element(data, at):
    """(tag, start of the value, end of the element) of the DER element at `at`."""
    tag, length = data[at], data[at + 1]
    head = 2
    if length & 0x80:
        count = length & 0x7F
        length = int.from_bytes(data[at + 2:at + 2 + count], "big")
        head += count
    return tag, at + head, at + head + length


def _children(data, start, end):
    at = start
    while at < end:
        element = _element(data, at)
        yield (at,) + element
        at = element[2]


def signed_content(data):
    """The content element of a PKCS#7 SignedData (its bytes, and its value's
    bytes, which Authenticode's message digest covers)."""
    _, start, end = _element(data, 0)
    explicit = [c for c in _children(data, start, end)][1]            # [0] of the ContentInfo
    signed = next(_children(data, explicit[2], explicit[3]))           # SignedData
    content_info = list(_children(data, signed[2], signed[3]))[2]      # version, algorithms, content
    wrapper = list(_children(data, content_info[2], content_info[3]))[1]  # [0] of the content
    element = next(_children(data, wrapper[2], wrapper[3]))
    return data[element[0]:element[3]], data[element[2]:element[3]]


# ---- The two commands. ----

def sign(args):
    workspace = Workspace(args.cert, args.password_file)
    try:
        options = ["-pkcs12", args.cert, "-readpass", workspace.password, "-h", DIGEST, "-n", "Pixelmoor"]
        if args.timestamp_url:
            options += ["-ts", args.timestamp_url]
        signed = args.program + ".signing"
        if os.path.exists(signed):
            os.remove(signed)  # osslsigncode writes a new file
        try:
            run(["osslsigncode", "sign"] + options + ["-in", args.program, "-out", signed],
                "%s cannot be signed" % args.program)
            os.replace(signed, args.program)
        finally:
            if os.path.exists(signed):
                os.remove(signed)
    finally:
        workspace.close()


def verify_to_root(program, anchors, tsa_ca, leaf_der):
    command = ["osslsigncode", "verify", "-CAfile", anchors, "-require-leaf-hash",
               "%s:%s" % (DIGEST, hashlib.sha256(leaf_der).hexdigest()), "-in", program]
    if tsa_ca:
        command += ["-TSA-CAfile", tsa_ca]
    run(command, "the signature of %s does not verify" % os.path.basename(program))


def verify_to_top(workspace, program, top, leaf_der):
    signature, data = workspace.path("signature.der"), workspace.path("data.der")
    for command, output in (("extract-signature", signature), ("extract-data", data)):
        if os.path.exists(output):
            os.remove(output)
        options = ["-h", DIGEST] if command == "extract-data" else []
        run(["osslsigncode", command] + options + ["-in", program, "-out", output],
            "%s: %s fails" % (os.path.basename(program), command))
    with open(signature, "rb") as f:
        signed, covered = signed_content(f.read())
    with open(data, "rb") as f:
        current, _ = signed_content(f.read())
    if signed != current:
        raise Refused("the signature of %s does not verify: it was made over other bytes"
                      % os.path.basename(program))
    content, signer = workspace.path("content.bin"), workspace.path("signer.pem")
    with open(content, "wb") as f:
        f.write(covered)
    run(["openssl", "smime", "-verify", "-inform", "DER", "-in", signature, "-content", content, "-binary",
         "-CAfile", top, "-partial_chain", "-purpose", "any", "-signer", signer, "-out", os.devnull],
        "the signature of %s does not verify" % os.path.basename(program))
    with open(signer, encoding="ascii") as f:
        if der(certificates(f.read())[0]) != leaf_der:
            raise Refused("%s is signed with another certificate than %s"
                          % (os.path.basename(program), workspace.cert))


def verify(args):
    workspace = Workspace(args.cert, args.password_file)
    try:
        chain = chain_of(workspace)
        leaf_der = der(chain[0][0])
        top_pem, top_subject, top_issuer = chain[-1]
        top = workspace.path("top.pem")
        with open(top, "w", encoding="ascii") as f:
            f.write(top_pem)
        for program in args.program:
            name = os.path.basename(program)
            if args.ca:
                verify_to_root(program, args.ca, args.tsa_ca, leaf_der)
                print("%s: the signature verifies up to a root of %s" % (name, args.ca))
            elif top_subject == top_issuer:
                verify_to_root(program, top, args.tsa_ca, leaf_der)
                print("%s: the signature verifies up to the root that the certificate file carries (%s)"
                      % (name, top_subject))
            else:
                verify_to_top(workspace, program, top, leaf_der)
                print("%s: the signature verifies up to %s, the top of the chain that the certificate file "
                      "carries; its root (%s) is not in it and not checked: give it with --sign-ca to check "
                      "to the end" % (name, top_subject, top_issuer))
    finally:
        workspace.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    signing = commands.add_parser("sign")
    signing.add_argument("--timestamp-url")
    signing.add_argument("program")
    checking = commands.add_parser("verify")
    checking.add_argument("--ca")
    checking.add_argument("--tsa-ca")
    checking.add_argument("program", nargs="+")
    for command in (signing, checking):
        command.add_argument("--cert", required=True)
        command.add_argument("--password-file", required=True)
    args = parser.parse_args()
    try:
        (sign if args.command == "sign" else verify)(args)
    except Refused as e:
        sys.exit("signing: %s" % e)


if __name__ == "__main__":
    main()
