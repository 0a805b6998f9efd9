# qmsign end to end (cmake -P, QMSIGN and WORK given): a new key, a signed
# folder whose manifest lists each file with its size and SHA-256 and whose
# signature is 64 bytes in hex, and a refusal to sign a name no update may hold.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/update/sub)
file(WRITE ${WORK}/update/qo.dll "hi\n")
file(WRITE ${WORK}/update/sub/feed.txt "version=2\n")

function(expect_status expected)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status STREQUAL expected)
    message(FATAL_ERROR "${ARGN}: status ${status}, expected ${expected}\n${errors}")
  endif()
endfunction()

expect_status(0 ${QMSIGN} keygen ${WORK}/key.pem)
expect_status(0 ${QMSIGN} sign ${WORK}/update ${WORK}/key.pem 2.0)
file(SHA256 ${WORK}/update/qo.dll dll)
file(SHA256 ${WORK}/update/sub/feed.txt feed)
file(READ ${WORK}/update/update-manifest.txt manifest)
set(expected "qm-update-manifest 1\nversion 2.0\nfile 3 ${dll} qo.dll\nfile 10 ${feed} sub\\feed.txt\n")
if(NOT manifest STREQUAL expected)
  message(FATAL_ERROR "manifest:\n${manifest}\nexpected:\n${expected}")
endif()
file(READ ${WORK}/update/update-manifest.sig signature)
if(NOT signature MATCHES "^[0-9a-f]+\n$")
  message(FATAL_ERROR "signature not in hex: ${signature}")
endif()
string(LENGTH "${signature}" length)
if(NOT length EQUAL 129)
  message(FATAL_ERROR "signature of ${length} characters")
endif()

# Signing again lists the same files: the manifest and signature are not listed.
expect_status(0 ${QMSIGN} sign ${WORK}/update ${WORK}/key.pem 2.0)
file(READ ${WORK}/update/update-manifest.txt again)
if(NOT again STREQUAL expected)
  message(FATAL_ERROR "second manifest:\n${again}")
endif()

file(WRITE ${WORK}/update/NUL.txt "x")
expect_status(1 ${QMSIGN} sign ${WORK}/update ${WORK}/key.pem 2.0)
expect_status(1 ${QMSIGN} sign ${WORK}/update ${WORK}/missing.pem 2.0)
expect_status(2 ${QMSIGN} sign ${WORK}/update)
