#!/bin/sh
# Stands in for a web browser inside the test prefix: notes each URL opened.
echo "$*" >> "${ZARVO_URL_LOG:-/tmp/zarvo-urls.log}"
