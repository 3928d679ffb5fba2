var ab1234  = new SWFObject("/jukebox/jbx1300200chameleon.swf", "tmbrmjbab1234", "300", "200", "6" );
ab1234.addVariable("loc", "/jukebox/" );
ab1234.addParam("quality", "high" );
ab1234.addParam("menu", "false" );
ab1234.addParam("allowFullScreen", "true" );
ab1234.addParam("allowScriptAccess", "always" );
ab1234.write("flashcontentab1234" );

