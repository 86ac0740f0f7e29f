echo hello
