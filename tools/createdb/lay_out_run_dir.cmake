# cmake -DTOOL=photoledger-createdb -DDIR=program-directory -P lay_out_run_dir.cmake
file(MAKE_DIRECTORY ${DIR}/PREVIEW ${DIR}/Temp)
if(NOT EXISTS ${DIR}/PHOTOLEDGER.GDB)
  execute_process(COMMAND ${TOOL} ${DIR} COMMAND_ERROR_IS_FATAL ANY)
endif()
