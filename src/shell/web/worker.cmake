# Writes the site's service worker, SITE/worker.js, from worker.js.in: the
# list of the site's files and a cache name made of the version and a hash
# of those files, so that a new site is a new worker and the same site the
# same bytes.
#   cmake -DSITE=DIR -DFILES=a;b -DVERSION=V -DTEMPLATE=worker.js.in -P worker.cmake
set(hashes "")
set(FILE_LIST "")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND hashes "${hash} ${file}\n")
  string(APPEND FILE_LIST "'${file}', ")
endforeach()
string(REGEX REPLACE ", $" "" FILE_LIST "${FILE_LIST}")
string(SHA256 hash "${hashes}")
string(SUBSTRING ${hash} 0 16 hash)
set(CACHE_ID "${VERSION}-${hash}")
configure_file(${TEMPLATE} ${SITE}/worker.js @ONLY)
