# Writes a UTF-8 text file as Notepad on Windows XP reads it: UTF-8 with a
# byte-order mark (without one, XP's Notepad takes the system code page),
# and CRLF line ends.
# cmake -DINPUT=<file> -DOUTPUT=<file> -P windows_text.cmake
file(READ ${INPUT} text)
string(ASCII 239 187 191 bom)
string(REGEX REPLACE "^${bom}" "" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${bom}${text}")
