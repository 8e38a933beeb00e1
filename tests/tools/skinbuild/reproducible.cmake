# Runs skinbuild twice into two folders and compares what it wrote.
foreach(run a b)
  file(REMOVE_RECURSE ${OUT}/${run})
  file(MAKE_DIRECTORY ${OUT}/${run})
  execute_process(COMMAND ${SKINBUILD} ${SKIN_DATA}/topaz ${SKIN_DATA}/resources
                          ${OUT}/${run}/topaz.asz ${OUT}/${run}/manifest.txt ${OUT}/${run}/res.cpp
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "skinbuild failed: ${rc}")
  endif()
endforeach()
foreach(file topaz.asz manifest.txt res.cpp)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/a/${file} ${OUT}/b/${file}
                  RESULT_VARIABLE differ)
  if(differ)
    message(FATAL_ERROR "${file} differs between two runs")
  endif()
endforeach()
