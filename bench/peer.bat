@echo off
rem The peer: what a user would script instead of start.exe. It reads both BIOS values with
rem reg query, writes them as one line each into case\gen\t2.tmp and case\gen\t3.tmp below
rem the current folder, and hands the local address to the shell with start. It has no way
rem to ask the disk for its serial number, so its first line begins with "=".
setlocal EnableDelayedExpansion
set KEY=HKLM\HARDWARE\DESCRIPTION\System
set BIOSDATE=
set BIOSVERSION=
for /f "tokens=1,2,*" %%a in ('reg query "%KEY%" /v SystemBiosDate') do if "%%a"=="SystemBiosDate" set BIOSDATE=%%c
for /f "tokens=1,2,*" %%a in ('reg query "%KEY%" /v SystemBiosVersion') do if "%%a"=="SystemBiosVersion" set BIOSVERSION=%%c
rem reg query shows a multi-string with \0 between its strings; start.exe joins them with " | ".
rem Quoted here and expanded late below, so that the "|" stays text.
set "BIOSVERSION=%BIOSVERSION:\0= | %"
>case\gen\t2.tmp echo =!BIOSDATE!
>case\gen\t3.tmp echo !BIOSVERSION!
start "" http://localhost:5683/
endlocal
