#!/usr/bin/env bash
# Runs the client against the reference service on this machine.
#
# Installs what is missing, builds what is missing, makes sure a sarn-service answers on the
# host the client was built for (SARN_SERVICE_HOST, 127.0.0.1:8088 by default), creates the demo
# account there if it does not exist yet, prints its name and password, and starts the client.
# A service that already answers on that host is used as it is and left running; one that this
# script started is stopped when the client ends.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build

demo_user=demo
demo_password=sarn2026

scripts/install-deps.sh
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target sarn-terminal sarn-service

host=$(sed -n 's/^SARN_SERVICE_HOST:STRING=//p' "$build/CMakeCache.txt")
host=${host:-127.0.0.1:8088}
case $host in
    *:*) name=${host%:*} port=${host##*:} ;;
    *) name=$host port=80 ;;
esac
namespace="http://$host/ZODevEduriza3.0.1"
endpoint="http://$host/SarnWebService/sarn.asmx"

soap() {  # operation, parameter XML -> the reply body
    curl -s --max-time 10 -H 'Content-Type: text/xml; charset="utf-8"' \
        -H "SOAPAction: \"$namespace/$1\"" \
        --data-binary "<?xml version=\"1.0\"?><soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><$1 xmlns=\"$namespace\">$2</$1></soap:Body></soap:Envelope>" \
        "$endpoint" || true
}
result() {  # operation, reply -> the text of <OperationResult>
    sed -n "s:.*<$1Result>\(.*\)</$1Result>.*:\1:p" <<<"$2"
}

service_pid=
stop_service() {
    if [ -n "$service_pid" ]; then
        kill -TERM "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
    fi
}
trap stop_service EXIT

if curl -s --max-time 3 -o /dev/null "$endpoint?wsdl"; then
    echo "Using the service that already answers at $endpoint"
else
    case $name in
        localhost | [0-9]*.[0-9]*.[0-9]*.[0-9]*) listen=$name:$port ;;
        *) listen=127.0.0.1:$port
           echo "Note: $name must resolve to this machine for the client to reach the service" ;;
    esac
    ready=$(mktemp -u "${TMPDIR:-/tmp}/sarn-service-ready.XXXXXX")
    "$build/bin/sarn-service" serve --listen "$listen" --ready-file "$ready" &
    service_pid=$!
    for _ in $(seq 100); do
        [ -f "$ready" ] && break
        kill -0 "$service_pid" 2>/dev/null || { echo "sarn-service did not start" >&2; exit 1; }
        sleep 0.1
    done
    [ -f "$ready" ] || { echo "sarn-service did not get ready" >&2; exit 1; }
    rm -f "$ready"
fi

# The service stores the client's digest of the password: characters 9 to 24 of its MD5 text.
digest=$(printf %s "$demo_password" | md5sum | cut -c9-24)
registered=$(result Register "$(soap Register "<loginName>$demo_user</loginName><password>$digest</password><mobile></mobile><email></email><provinces></provinces><city></city>")")
login=$(result Login "$(soap Login "<loginName>$demo_user</loginName><password>$digest</password>")")
if [ "${login:--1}" -gt 0 ] 2>/dev/null; then
    [ "${registered:-0}" -gt 0 ] 2>/dev/null && echo "Created the demo account."
    echo "Demo account: user name \"$demo_user\", password \"$demo_password\""
else
    echo "The account \"$demo_user\" exists with another password; register a new one in the login window." >&2
fi

# The browser engine refuses to run as root with its sandbox.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
client=("$build/bin/sarn-terminal")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running the client on a virtual X server (xvfb-run)."
    export QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}
    client=(xvfb-run -a "${client[@]}")
fi
status=0
"${client[@]}" || status=$?
exit "$status"
