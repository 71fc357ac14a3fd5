// windows
