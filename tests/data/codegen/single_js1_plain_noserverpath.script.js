var ab5959  = new SWFObject("btn02type07blue.swf", "tmbrwbcab5959", "125", "22", "6", "#FFFFFF" );
ab5959.addVariable("f", "my song.mp3" );
ab5959.addVariable("m", "Manual" );
ab5959.addVariable("l", "Yes" );
ab5959.addParam("quality", "high" );
ab5959.addParam("menu", "false" );
ab5959.addParam("allowFullScreen", "true" );
ab5959.addParam("allowScriptAccess", "always" );
ab5959.write("flashcontentab5959" );
