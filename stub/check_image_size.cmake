# Fails when the stub image IMAGE is longer than LIMIT bytes: the image has to
# fit the stub area in front of the first volume's header.
file(SIZE "${IMAGE}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "robot image ${IMAGE} is ${size} bytes, more than the ${LIMIT} bytes of the stub area")
endif()
message(STATUS "robot image: ${size} of ${LIMIT} bytes")
