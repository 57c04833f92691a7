// inifile: being written.
