# Fails when the stub image IMAGE is longer than LIMIT bytes: the image has to
# fit the stub area in front of the first volume's header (the Windows stub:
# the robot image's 63488 bytes).
file(SIZE "${IMAGE}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "robot image ${IMAGE} is ${size} bytes, more than its limit of ${LIMIT} bytes")
endif()
message(STATUS "robot image: ${size} of ${LIMIT} bytes")
