#!/usr/bin/env bash
# Serves a published package folder from nginx on loopback, the way the vendor's download
# server offers it at "/down/quillclient/CHS/":
#   serve-package.sh start STATE_DIR PORT WWW_DIR [RATE]   (RATE: nginx's limit_rate, e.g. 300k)
#   serve-package.sh stop  STATE_DIR                       (ends the nginx that start began)
# The access log (STATE_DIR/access.log) has one line per request:
#   "<status> <body bytes> <seconds> <uri> <range or ->".
set -euo pipefail
cmd=$1 state=$2

case "$cmd" in
start)
  port=$3 www=$(cd "$4" && pwd) rate=${5:-0}
  "$0" stop "$state"
  mkdir -p "$state/temp"
  state=$(cd "$state" && pwd)
  # As root nginx's workers would drop to an account that may not read the build tree.
  user=
  [ "$(id -u)" = 0 ] && user="user root;"
  cat >"$state/nginx.conf" <<CONF
$user
worker_processes 1;
pid $state/nginx.pid;
error_log $state/error.log warn;
events { worker_connections 64; }
http {
    log_format figures '\$status \$body_bytes_sent \$request_time \$request_uri \$http_range';
    access_log $state/access.log figures;
    client_body_temp_path $state/temp/body;
    proxy_temp_path $state/temp/proxy;
    fastcgi_temp_path $state/temp/fastcgi;
    uwsgi_temp_path $state/temp/uwsgi;
    scgi_temp_path $state/temp/scgi;
    default_type application/octet-stream;
    server {
        listen 127.0.0.1:$port;
        limit_rate $rate;
        sendfile_max_chunk 16k;
        location /down/quillclient/CHS/ { alias $www/; }
    }
}
CONF
  nginx -p "$state" -e "$state/error.log" -c "$state/nginx.conf"
  for _ in $(seq 50); do
    # Any answer will do; the published files are left out of the access log.
    [ "$(curl -s -o /dev/null -w '%{http_code}' "http://127.0.0.1:$port/")" != 000 ] && { : >"$state/access.log"; exit 0; }
    sleep 0.1
  done
  echo "nginx does not answer on 127.0.0.1:$port; see $state/error.log" >&2
  exit 1
  ;;
stop)
  [ -f "$state/nginx.pid" ] || exit 0
  pid=$(cat "$state/nginx.pid")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  rm -f "$state/nginx.pid"
  ;;
*) echo "usage: $0 start STATE_DIR PORT WWW_DIR [RATE] | stop STATE_DIR" >&2; exit 2 ;;
esac
