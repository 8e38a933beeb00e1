# Compiles the operator's guide. The pages are kept in UTF-8 and turned into cp1251, which a
# Russian CHM (language 0x419) expects for its pages and its table of contents.
# Arguments: -DSOURCE_DIR -DWORK_DIR -DOUTPUT -DCHMCMD -DICONV
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(GLOB pages ${SOURCE_DIR}/*)
foreach(page IN LISTS pages)
  get_filename_component(name ${page} NAME)
  execute_process(COMMAND ${ICONV} -f UTF-8 -t CP1251 ${page} OUTPUT_FILE ${WORK_DIR}/${name}
                  RESULT_VARIABLE rc)
  if(rc)
    message(FATAL_ERROR "Help: ${name} holds text that cp1251 cannot hold")
  endif()
endforeach()
execute_process(COMMAND ${CHMCMD} help.hhp WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE rc
                OUTPUT_VARIABLE log ERROR_VARIABLE log)
set(chm "${WORK_DIR}/Help Tessary.chm")
if(rc OR NOT EXISTS "${chm}")
  message(FATAL_ERROR "Help: chmcmd failed (${rc}):\n${log}")
endif()
file(COPY_FILE "${chm}" "${OUTPUT}")
