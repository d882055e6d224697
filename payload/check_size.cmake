# Fails unless FILE is exactly SIZE bytes long; on success touches STAMP.
# Usage: cmake -DFILE=<file> -DSIZE=<bytes> -DSTAMP=<file> -P check_size.cmake
file(SIZE "${FILE}" actual)
if(NOT actual EQUAL SIZE)
  message(FATAL_ERROR "${FILE} is ${actual} bytes long, it must be ${SIZE}")
endif()
file(TOUCH "${STAMP}")
